// Putting texts that come from a database file into form fields.
#pragma once

#include <form.h>

// Sets buffer 0 of field to text with every control byte (below 0x20, and
// 0x7f) replaced by '?', so that a hostile file can neither send escape
// sequences to the terminal nor break the dialog's layout with tabs or line
// ends. Printable bytes and bytes of 0x80 and above are kept. The cleaned
// copy is wiped before it is released, since the text may be a password.
// A null text counts as empty.
void set_field_text(FIELD* field, const char* text);
