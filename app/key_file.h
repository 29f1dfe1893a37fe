// The key file named on the command line, read once, before curses starts.
#pragma once

#include <cstdint>

#include "kpass/secure_memory.h"

// Reads the key file at path and makes its key (kpass_file_key_*) into
// file_key (kpass_key_size bytes, written only when it works). Null when it
// worked, else the reason: "not a regular file", "empty", or the system's
// words for the error ("No such file or directory"). The file is opened
// without blocking, so that a FIFO cannot hang the start, must be a regular
// file of at least one byte, and is read whole in pieces, whatever its
// size, through a secure block. Throws std::bad_alloc before it opens the
// file.
const char* read_key_file(const char* path, uint8_t* file_key);

// The start-up step: with a path (not null), reads that key file into
// file_key, which then holds kpass_key_size bytes. A key file that cannot
// be used ends the program: one line on standard error names the file and
// the reason, and the status is 1.
void load_key_file(const char* path, secure_vector<uint8_t>& file_key);
