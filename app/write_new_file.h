// Writing a new file: the one place where this program, which never writes
// a database, makes a file (an entry's attachment, saved with "w").
//
// The file is made new, with mode 0600 (less what the umask takes away):
// it never replaces, and never follows, anything already at its name, a
// dangling symbolic link included. It is whole or absent: its bytes are
// all written and synced before it gets its name, also when SIGINT,
// SIGTERM, SIGQUIT or SIGHUP end the program meanwhile.
#pragma once

#include <cstdint>
#include <span>

enum class write_result {
    written,
    exists,  // something is at the name already; nothing was written
    failed,  // nothing is left at the name
};

// Writes bytes into a new file at path (relative paths from the working
// directory). The bytes go into an unnamed file (O_TMPFILE) in path's
// folder, which is synced and then linked to the name from
// /proc/self/fd/N: a link never replaces nor follows what is at the name.
// Where the file system (or a missing /proc) does not allow that, it is
// write_new_file_exclusive.
write_result write_new_file(const char* path, std::span<const std::uint8_t> bytes);

// The same by the other way: the name is created by an exclusive open
// (O_CREAT | O_EXCL | O_NOFOLLOW), written, synced, closed, and unlinked
// again when any step failed; the four signals above stay blocked from
// the open to the close or the unlink, so that none can end the program
// with a part of the file at the name (a SIGKILL still can).
write_result write_new_file_exclusive(const char* path, std::span<const std::uint8_t> bytes);
