// The command "save-attachment" ("w", in the entry table and in the entry
// view): an entry's attachment written to a new file.
#pragma once

struct kpass_entry;

// The size of the "Save as:" prompt's text.
inline constexpr int save_path_size = 4096;

// Without an attachment: "No attachment.". Otherwise asks for a path in
// the "Save as:" prompt, which starts with the attachment's cleaned name
// (app/attachment_name.h). Cancelled, or confirmed empty: nothing is
// written. Else the attachment's bytes go into a new file at that path
// (app/write_new_file.h; "~/" at its start stands for $HOME, a relative
// path is taken from the working directory), and a message says how it
// went: "Saved.", "File exists." or "Couldn't write." (also without a
// $HOME for "~/"). Nothing is redrawn: the caller draws its screen afresh.
void save_attachment(const kpass_entry* entry);

