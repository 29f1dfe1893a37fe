#include "e2e/test_files.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include <filesystem>
#include <fstream>

namespace {

kdb_group_spec group(uint32_t id, const std::string& name, uint16_t level) {
    kdb_group_spec record;
    record.id = id;
    record.name = name;
    record.level = level;
    return record;
}

kdb_entry_spec entry(uint8_t first_uuid_byte, uint32_t group_id, const std::string& title, const std::string& username,
                     const std::string& password, const std::string& url) {
    kdb_entry_spec record;
    for (uint8_t i = 0; i < 16; ++i) record.uuid[i] = static_cast<uint8_t>(first_uuid_byte + i);
    record.group_id = group_id;
    record.title = title;
    record.username = username;
    record.password = password;
    record.url = url;
    record.ctime = kdb_pack_time(2020, 1, 2, 3, 4, 5);
    record.mtime = kdb_pack_time(2021, 6, 7, 8, 9, 10);
    record.atime = kdb_pack_time(2022, 11, 12, 13, 14, 15);
    record.etime = kdb_pack_time(2030, 1, 1, 0, 0, 0);
    return record;
}

}  // namespace

temp_dir::temp_dir() {
    char name[] = "/tmp/kdbrowse-e2e.XXXXXX";
    if (mkdtemp(name) == nullptr) return;
    path = name;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return;
    janitor = fork();
    if (janitor == 0) {
        // Waits until no process holds the pipe's write end: this test
        // process has ended, however it ended. A session of its own keeps
        // it out of a kill aimed at the test's process group.
        setsid();
        close(fds[1]);
        char byte;
        while (read(fds[0], &byte, 1) < 0 && errno == EINTR) {
        }
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
        _exit(0);
    }
    close(fds[0]);
    janitor_pipe = fds[1];
}

temp_dir::~temp_dir() {
    if (path.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
    if (janitor_pipe >= 0) close(janitor_pipe);
    if (janitor > 0) waitpid(janitor, nullptr, 0);
}

database_contents sample_database() {
    database_contents contents;
    contents.groups = {group(1, "Internet", 0), group(2, "eMail", 1), group(3, "Banking", 0), group(4, "Empty", 0)};
    kdb_entry_spec forum = entry(0x00, 1, "Forum", "alice", "forum-secret", "https://forum.example");
    forum.etime = kdb_pack_time(2999, 12, 28, 23, 59, 59);
    forum.notes = "first post";
    contents.entries = {forum, entry(0x10, 1, "Shop", "bob", shop_password, "https://shop.example"),
                        entry(0x20, 2, "Mail", "carol", "mail-secret", "imap://mail.example"),
                        entry(0x30, 3, "Bank", "dave", "bank-secret", "")};
    return contents;
}

database_contents other_database() {
    database_contents contents;
    contents.groups = {group(10, "Work", 0), group(11, "Servers", 1)};
    contents.entries = {entry(0x40, 10, "Build server", "ci", "build-secret", "https://ci.example")};
    return contents;
}

std::string write_database(const temp_dir& dir, const std::string& name, const database_contents& contents,
                           const std::string& password, std::optional<std::array<uint8_t, 32>> file_key,
                           uint32_t rounds) {
    kdb_write_options options;
    options.rounds = rounds;
    options.file_key = file_key;
    std::vector<uint8_t> bytes = kdb_write(options, contents.groups, contents.entries, password);
    std::string path = dir.path + "/" + name;
    return kdb_save(path, bytes) ? path : "";
}

std::string write_file(const temp_dir& dir, const std::string& name, const std::string& bytes) {
    std::string path = dir.path + "/" + name;
    std::ofstream file(path, std::ios::binary);
    file << bytes;
    return file.good() ? path : "";
}
