// Handing a text to another program on its standard input.
#pragma once

#include <sys/types.h>

#include <span>

// The program "xclip" hands the password to: "/usr/bin/xclip". A variable,
// so that the key-sequence fuzzer and the tests can point it at a harmless
// program of their own.
extern const char* clipboard_program;

// How long one run may take, the write of the text and the wait for the
// end together: 10 s.
inline constexpr int program_time_limit_ms = 10000;

// Runs the program at path (path is also its argument zero), followed by
// the argument words in arguments, with text's bytes on its standard input,
// standard output and error on /dev/null, in a process group of its own,
// and waits for it (and only it) to end, so that no child is left to reap.
// The text is written without blocking; a run that has not ended once
// program_time_limit_ms have passed is ended, its whole process group with
// SIGKILL, and reaped. The result, as a shell reports a command's:
//   0    the program ran and ended with status 0;
//   -1   the pipe or the child could not be created, or its end could not
//        be waited for;
//   127  the program could not be executed (missing, not executable);
//   137  (128 + SIGKILL) among the others: the run took too long;
//   otherwise the program's non-zero exit status, or 128 + the number of
//        the signal that ended it.
// Whatever is not 0 is a failure: the text may not have arrived.
int pipe_to_program(const char* path, const char* text, std::span<const char* const> arguments = {});

// pipe_to_program with a time limit of time_limit_ms instead.
int pipe_to_program_within(const char* path, const char* text, std::span<const char* const> arguments,
                           int time_limit_ms);

// For a forked child before its exec: standard output and error onto
// /dev/null (left as they are when it cannot be opened).
void output_to_null();

// Waits for child, a process of this one, to end: its result as
// pipe_to_program gives it (-1 when it cannot be waited for).
int wait_for_program(pid_t child);
