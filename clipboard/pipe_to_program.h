// Handing a text to another program on its standard input.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <span>

// The program "xclip" hands the password to: "/usr/bin/xclip". A variable,
// so that the key-sequence fuzzer and the tests can point it at a harmless
// program of their own.
extern const char* clipboard_program;

// Runs the program at path (path is also its argument zero), followed by
// the argument words in arguments, with text's bytes on its standard input
// and waits for it (and only it) to end, so that no child is left to reap.
// The result, as a shell reports a command's:
//   0    the program ran and ended with status 0;
//   -1   the pipe or the child could not be created, or its end could not
//        be waited for;
//   127  the program could not be executed (missing, not executable);
//   otherwise the program's non-zero exit status, or 128 + the number of
//        the signal that ended it.
// Whatever is not 0 is a failure: the text may not have arrived.
int pipe_to_program(const char* path, const char* text, std::span<const char* const> arguments = {});

// Waits for child, a process of this one, to end: its result as
// pipe_to_program gives it (-1 when it cannot be waited for).
int wait_for_program(pid_t child);

// Writes all size bytes of data to fd. A reader that has ended (or never
// started) only makes the write fail: SIGPIPE is ignored for the duration,
// so it cannot end this process. False when not every byte was written.
bool write_all(int fd, const void* data, std::size_t size);
