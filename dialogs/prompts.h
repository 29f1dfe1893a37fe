// The message box and the two prompts: modal dialogs centred on the screen.
#pragma once

// Shows text above an "[OK]" mark and waits for Enter. On a screen too
// small for the box, Enter acknowledges it unseen (dialogs/centred_window.h).
void message_box(const char* text);

// Ask for the master password (typed text hidden), a database path or a
// text to find (both shown).
// 0: confirmed; buffer holds the password exactly as typed, trailing blanks
// included, or the path or the text to find without its trailing blanks.
// 1: cancelled (also by Enter on a screen too small for the prompt), buffer
// untouched.
int prompt_password(char* buffer, int size);
int prompt_database_path(char* buffer, int size);
int prompt_find_text(char* buffer, int size);

// The "Save as:" prompt for a path, shown as the path prompt is, with start
// already typed (its bytes from 0x20 on, but 0x7F, as the terminal would
// send them; a character that does not fit is dropped) and the cursor
// after it: Enter at once confirms start, less its trailing blanks.
int prompt_save_path(char* buffer, int size, const char* start);
