// Putting texts that come from a database file into form fields.
#pragma once

#include <form.h>

// Sets buffer 0 of field to text as the screen shows it (screen/display_text.h,
// by the rules of the running program's locale), at most max_cells cells of
// it: control characters, escape sequences and everything else that cannot
// show as itself become '?', so that a hostile file can neither send escape
// sequences to the terminal nor break the dialog's layout with tabs or line
// ends; and a wide character is never cut in half. The cleaned copy lives in
// a secure block, wiped before it is released, since the text may be a
// password. A null text counts as empty.
void set_field_text(FIELD* field, const char* text, int max_cells);
