#include "keys/keymap.h"

// Each name is stored once; key maps point at these arrays and commands are
// compared by address.
const char command_open[] = "open";
const char command_save[] = "save";
const char command_add_group[] = "add-group";
const char command_add_entry[] = "add-entry";
const char command_select[] = "select";
const char command_groups[] = "groups";
const char command_edit[] = "edit";
const char command_quit[] = "quit";
const char command_reveal[] = "reveal";
const char command_prev[] = "prev";
const char command_next[] = "next";
const char command_xclip[] = "xclip";
