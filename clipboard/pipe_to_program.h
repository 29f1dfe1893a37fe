// Handing a text to another program on its standard input.
#pragma once

// The program "xclip" hands the password to: "/usr/bin/xclip". A variable,
// so that the key-sequence fuzzer and the tests can point it at a harmless
// program of their own.
extern const char* clipboard_program;

// Runs the program at path (path is also its argument zero) with text's
// bytes on its standard input and waits for it to end. The result, as a
// shell reports a command's:
//   0    the program ran and ended with status 0;
//   -1   the pipe or the child could not be created, or its end could not
//        be waited for;
//   127  the program could not be executed (missing, not executable);
//   otherwise the program's non-zero exit status, or 128 + the number of
//        the signal that ended it.
// Whatever is not 0 is a failure: the text may not have arrived.
int pipe_to_program(const char* path, const char* text);
