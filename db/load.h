// Turning a path into an unlocked database record.
#pragma once

#include <cstdint>

struct kpass_db;

// Reads the file at path and hands its bytes to the library. 0: accepted;
// a positive errno when the file cannot be opened, examined or read (or is
// not a regular file); -1 when the library refuses the bytes. db must hold
// no loaded database.
int load_database_file(kpass_db* db, const char* path);

// Loads the file and asks for the master password until it matches or the
// user cancels; each password is tried with file_key (a key file's key,
// kpass_key_size bytes, or null) as try_password does. 0: unlocked; 1: the
// file could not be read ("Couldn't read." has been shown; db holds
// nothing): it could not be loaded, or a password matched but the contents
// behind it are damaged; -1: the password prompt was cancelled (db is
// loaded and locked, and the caller releases it). Keys typed while a
// password is being tried are dropped.
int open_database(kpass_db* db, const char* path, const uint8_t* file_key = nullptr);
