// Handing a text to another program on its standard input.
#pragma once

// Runs the program at path (path is also its argument zero) with text's
// bytes on its standard input and waits for it to end. 0 when the child was
// started, whatever became of it; -1 when the pipe or the child could not be
// created.
int pipe_to_program(const char* path, const char* text);
