// Files for the end-to-end tests: a temporary folder that goes away with
// the test, and the databases written into it.
#pragma once

#include <sys/types.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "kpass/writer/kdb_writer.h"

// The folder is removed when the object goes, and also (by a small child
// process that waits for this one) when the test process is killed.
struct temp_dir {
    std::string path;  // "" when it could not be created
    int janitor_pipe = -1;
    pid_t janitor = -1;
    temp_dir();
    temp_dir(const temp_dir&) = delete;
    temp_dir& operator=(const temp_dir&) = delete;
    ~temp_dir();  // removes the folder and everything in it
};

struct database_contents {
    std::vector<kdb_group_spec> groups;
    std::vector<kdb_entry_spec> entries;
};

// The database most tests browse, unlocked by sample_password:
//   Internet (level 0): Forum (alice), Shop (bob)
//     eMail (level 1):  Mail (carol)
//   Banking (level 0):  Bank (dave)
//   Empty (level 0):    no entries
// Forum's identifier is 00 01 .. 0f and it never expires; Shop's password
// holds a blank and a byte above 0x7f.
inline const std::string sample_password = "correct horse";
inline const std::string shop_password = "p\xe4ss w0rd";
database_contents sample_database();

// A second database, for opening another file:
//   Work (level 0):      Build server (ci)
//     Servers (level 1): no entries
inline const std::string other_password = "other pw";
database_contents other_database();

// Writes a database (AES, by default few key rounds so that unlocking is
// quick) to dir/name, locked by password and file_key when given; its path,
// or "" when it could not be written.
std::string write_database(const temp_dir& dir, const std::string& name, const database_contents& contents,
                           const std::string& password, std::optional<std::array<uint8_t, 32>> file_key = {},
                           uint32_t rounds = 100);

// Writes bytes as they are to dir/name; its path, or "" on failure.
std::string write_file(const temp_dir& dir, const std::string& name, const std::string& bytes);
