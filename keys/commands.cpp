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
const char command_page_down[] = "page-down";
const char command_page_up[] = "page-up";
const char command_home[] = "home";
const char command_end[] = "end";
const char command_find[] = "find";
const char command_find_next[] = "find-next";
const char command_find_previous[] = "find-previous";
const char command_view[] = "view";
const char command_save_attachment[] = "save-attachment";
const char command_copy_username[] = "copy-username";
const char command_copy_url[] = "copy-url";
