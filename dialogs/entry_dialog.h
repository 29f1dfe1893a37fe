// The entry details dialog.
#pragma once

struct kpass_db;
struct kpass_entry;

// Shows every field of entry in a modal dialog. Nothing typed is ever read
// back. 0: closed with "[OK]", 1: closed with "[CANCEL]", or given up by
// Enter on a screen too small for it (dialogs/centred_window.h).
int show_entry_dialog(const kpass_db* db, const kpass_entry* entry);
