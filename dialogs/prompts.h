// The message box and the two prompts: modal dialogs centred on the screen.
#pragma once

// Shows text above an "[OK]" mark and waits for Enter.
void message_box(const char* text);

// Ask for the master password (typed text hidden), a database path or a
// text to find (both shown).
// 0: confirmed, buffer holds the typed text (the path and the text to find
// without trailing blanks). 1: cancelled, buffer untouched.
int prompt_password(char* buffer, int size);
int prompt_database_path(char* buffer, int size);
int prompt_find_text(char* buffer, int size);
