// Saving an attachment: the name it is first offered under, the one way
// the program writes a file (both ways of it), and "w" in the table.
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/attachment_name.h"
#include "app/key_loop.h"
#include "app/write_new_file.h"
#include "browse_fixture.h"

namespace {

namespace fs = std::filesystem;

std::string name_of(const std::string& description, bool utf8) {
    char name[attachment_name_size];
    attachment_file_name(description, utf8, name);
    return name;
}

// Guards a name that leaves the folder, a control byte or an invalid
// sequence the prompt would drop, and a cut inside a character.
TEST(attachment_file_name, keeps_the_last_part_typeable_and_within_255_bytes) {
    std::string accents;
    for (int i = 0; i < 200; ++i) accents += "\xc3\xa9";
    const struct { std::string description; bool utf8; std::string name; } cases[] = {
        {"photo.jpg", true, "photo.jpg"},
        {"a/b", false, "b"},
        {"../x", true, "x"},
        {"dir/..", false, "attachment"},
        {"dir/", true, "attachment"},
        {".", false, "attachment"},
        {"a\tb\x7f", false, "a_b_"},
        {"\xc2\x85x\xe9", false, "\xc2\x85x\xe9"},      // bytes in the "C" locale
        {"\xc2\x85x", true, "_x"},                      // U+0085, a control
        {"caf\xe9.txt", true, "caf_.txt"},              // an invalid byte
        {"\xf4\x90\x80\x80", true, "____"},             // past U+10FFFF
        {accents, true, accents.substr(0, 254)},        // cut between two characters
        {std::string(300, 'a'), false, std::string(255, 'a')},
    };
    for (const auto& c : cases) EXPECT_EQ(name_of(c.description, c.utf8), c.name) << c.description;
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
            {"file", write_result::exists},
            {"dangling", write_result::exists},
            {"live", write_result::exists},
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

// "w" in the table: the prompt starts with the cleaned name, which Enter
// confirms; "~/" stands for $HOME; a cancel writes nothing, nor does "w"
// without an attachment. Each message box is closed by the Enter typed
// after the prompt's.
TEST_F(BrowseTest, WSavesTheAttachmentUnderTheNameConfirmed) {
    data_.add_group(1, "g");
    kpass_entry* e = data_.add_entry(1, "with attachment");
    const std::string attachment("\x89PNG\0\x01", 6);
    e->binary = reinterpret_cast<uint8_t*>(data_.text(attachment));
    e->binary_size = static_cast<uint32_t>(attachment.size());
    e->description = data_.text("../up/name.bin");
    data_.add_entry(1, "without");
    scratch_dir dir, home;
    const fs::path before = fs::current_path();
    fs::current_path(dir.path);
    setenv("HOME", home.path.c_str(), 1);
    start();
    press('\t');
    const struct { std::string keys; fs::path saved; } cases[] = {
        {"\r\r", dir.path / "name.bin"},
        {"\x7f\x7f\x7f\x7f\x7f\x7f\x7f\x7f~/h.bin  \r\r", home.path / "h.bin"},
        {"\t\t\r", ""},  // cancelled
    };
    for (const auto& c : cases) {
        terminal_->type(c.keys + "z");
        press('w');
        EXPECT_EQ(read_key(&app_), 'z') << c.keys;
        if (!c.saved.empty()) {
            EXPECT_EQ(contents(c.saved), attachment) << c.saved;
        }
    }
    press(KEY_DOWN);
    terminal_->type("\rz");  // "No attachment."
    press('w');
    EXPECT_EQ(read_key(&app_), 'z');
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(home.path), fs::directory_iterator()), 1);
    fs::current_path(before);
}

}  // namespace
