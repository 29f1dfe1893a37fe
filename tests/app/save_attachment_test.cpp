// Saving an attachment: the name it is first offered under, the one way
// the program writes a file (both ways of it), and the real files of other
// writers, whose every note reads whole in the entry view and whose every
// attachment saves byte for byte. "w" itself is tried end to end
// (tests/e2e/entry_view_test.cpp).
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/attachment_name.h"
#include "app/write_new_file.h"
#include "kpass/kpass.h"
#include "screen/entry_view_page.h"
#include "support/peer_files.h"

namespace {

namespace fs = std::filesystem;

// Guards a name that leaves the folder, a control byte or an invalid
// sequence the prompt would drop, and a cut inside a character.
TEST(attachment_file_name, keeps_the_last_part_typeable_and_within_255_bytes) {
    std::string accents;
    for (int i = 0; i < 200; ++i) accents += "\xc3\xa9";
    const struct { std::string description; bool utf8; std::string name; } cases[] = {
        {"photo.jpg", true, "photo.jpg"}, {"a/b", false, "b"}, {"../x", true, "x"},
        {"dir/..", false, "attachment"}, {"dir/", true, "attachment"}, {".", false, "attachment"},
        {"a\tb\x7f", false, "a_b_"},
        {"\xc2\x85x\xe9", false, "\xc2\x85x\xe9"},      // bytes in the "C" locale
        {"\xc2\x85x", true, "_x"},                      // U+0085, a control
        {"caf\xe9.txt", true, "caf_.txt"},              // an invalid byte
        {"\xf4\x90\x80\x80", true, "____"},             // past U+10FFFF
        {accents, true, accents.substr(0, 254)},        // cut between two characters
        {std::string(300, 'a'), false, std::string(255, 'a')},
    };
    for (const auto& c : cases) {
        char name[attachment_name_size];
        attachment_file_name(c.description, c.utf8, name);
        EXPECT_EQ(name, c.name) << c.description;
    }
}

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::span<const std::uint8_t> bytes_of(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

struct scratch_dir {
    fs::path path;
    scratch_dir() {
        char pattern[] = "/tmp/kdbrowse-save-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~scratch_dir() { fs::remove_all(path); }
    std::string operator/(const char* name) const { return (path / name).string(); }
};

using writer = write_result (*)(const char*, std::span<const std::uint8_t>);
const writer both_ways[] = {write_new_file, write_new_file_exclusive};

// Each way: the exact bytes, mode 0600; nothing replaced or followed that
// is at the name (a file, a dangling or a live symbolic link); nothing left
// in a folder that does not exist.
TEST(write_new_file, makes_only_new_files_whole) {
    umask(022);
    const std::string first("\0\1\2x\xff", 5), second = "other";
    for (writer write : both_ways) {
        scratch_dir dir;
        ASSERT_EQ(symlink("nowhere", (dir / "dangling").c_str()), 0);
        ASSERT_EQ(symlink("file", (dir / "live").c_str()), 0);
        EXPECT_EQ(write((dir / "file").c_str(), bytes_of(first)), write_result::written);
        EXPECT_EQ(contents(dir / "file"), first);
        EXPECT_EQ(fs::status(dir / "file").permissions(), fs::perms::owner_read | fs::perms::owner_write);
        const struct { const char* name; write_result result; } cases[] = {
            {"file", write_result::exists}, {"dangling", write_result::exists}, {"live", write_result::exists},
            {"missing/file", write_result::failed},
        };
        for (const auto& c : cases) EXPECT_EQ(write((dir / c.name).c_str(), bytes_of(second)), c.result) << c.name;
        EXPECT_EQ(contents(dir / "file"), first);
        EXPECT_EQ(fs::read_symlink(dir / "dangling"), "nowhere");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 3);
    }
}

// A disk that fills up during the write leaves nothing at the name: a
// small tmpfs, mounted in a mount namespace of this test's own (as root).
TEST(write_new_file, a_full_disk_leaves_nothing) {
    if (geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs takes root";
    scratch_dir dir;
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", dir.path.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    const std::string large(1 << 20, 'x');
    for (writer write : both_ways) {
        EXPECT_EQ(write((dir / "large").c_str(), bytes_of(large)), write_result::failed);
        EXPECT_TRUE(fs::is_empty(dir.path));
    }
    umount(dir.path.c_str());
}

// The notes as the view's rows give them back, on a page so wide that no
// line wraps; and the notes without their line breaks, which the rows are.
std::string notes_read(const kpass_entry* entry) {
    const entry_view_page page = lay_out_entry_view(entry, "Never", false, 1 << 20, true);
    std::string read;
    for (size_t i = 8; i < page.rows.size(); ++i) read += view_row_text(page, page.rows[i]);
    return read;
}

std::string notes_unbroken(std::string notes) {
    std::erase_if(notes, [](char c) { return c == '\r' || c == '\n'; });
    return notes;
}

// The files with entries of their users' (those locked by key files hold
// only meta-streams).
TEST(peer_files, every_note_reads_whole_and_every_attachment_saves) {
    const std::pair<const char*, const char*> peers[] = {
        {"keepassxc-basic.kdb", "masterpw"}, {"keepass-rs-password.kdb", "foobar"}, {"kp1-1.24-native.kdb", "test"},
        {"kp1-accents-nonlatin.kdb", "123"}, {"kpx-latin1-password.kdb", "\xf6\xe4\xfc\xdf"},
    };
    if (!fs::is_directory(peer_dir)) GTEST_SKIP() << "no " << peer_dir << ": cross-check skipped";
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    scratch_dir out;
    int saved = 0;
    for (auto [name, password] : peers) {
        std::vector<uint8_t> file = read_peer(name);
        kpass_db db;
        uint8_t key[kpass_key_size];
        kpass_hash_pw(password, key);
        ASSERT_TRUE(kpass_init_db(&db, file.data(), static_cast<int>(file.size())) == 0 && kpass_decrypt_db(&db, key) == 0)
            << name;
        for (kpass_entry* const* e = db.entries; *e != nullptr; ++e) {
            EXPECT_EQ(notes_read(*e), notes_unbroken((*e)->notes)) << name << ": " << (*e)->title;
            if ((*e)->binary_size == 0) continue;
            char file_name[attachment_name_size];
            attachment_file_name((*e)->description, true, file_name);
            const std::string path = out / file_name;
            ASSERT_EQ(write_new_file(path.c_str(), {(*e)->binary, (*e)->binary_size}), write_result::written);
            EXPECT_EQ(contents(path), std::string(reinterpret_cast<char*>((*e)->binary), (*e)->binary_size));
            ++saved;
        }
        kpass_free_db(&db);
    }
    EXPECT_GT(saved, 0);
    std::setlocale(LC_CTYPE, "C");
}

}  // namespace
