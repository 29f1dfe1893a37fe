// The real files of other writers: every note reads whole in the entry
// view, and every attachment saves byte for byte. Skipped where the folder
// is absent.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "app/attachment_name.h"
#include "app/key_file.h"
#include "app/write_new_file.h"
#include "kpass/kpass.h"
#include "screen/entry_view_page.h"
#include "support/peer_files.h"

namespace {

namespace fs = std::filesystem;

struct peer_file {
    const char* name;
    const char* password;
    const char* key_file;  // "" for none
};

const peer_file peers[] = {
    {"keepassxc-basic.kdb", "masterpw", ""},
    {"keepassxc-twofish.kdb", "masterpw", ""},
    {"keepass-rs-password.kdb", "foobar", ""},
    {"kp1-1.24-native.kdb", "test", ""},
    {"kp1-accents-nonlatin.kdb", "123", ""},
    {"kpx-latin1-password.kdb", "\xf6\xe4\xfc\xdf", ""},
    {"kpx-filekey-binary.kdb", "", "kpx-filekey-binary.key"},
    {"kpx-filekey-hex.kdb", "", "kpx-filekey-hex.key"},
    {"kpx-filekey-hashed.kdb", "", "kpx-filekey-hashed.key"},
    {"kpx-composite-key.kdb", "mypassword", "kpx-filekey-hex.key"},
};

// The notes as the view's rows give them back: wrapped rows joined, a line
// break between lines.
std::string notes_read(const kpass_entry* entry) {
    const entry_view_page page = lay_out_entry_view(entry, "Never", false, 40, true);
    const std::string_view notes = entry->notes;
    std::string read;
    bool first = true;
    for (const view_row& row : page.rows) {
        if (row.part != view_part::notes) continue;
        const bool new_line = row.offset > 0 && (notes[row.offset - 1] == '\n' || notes[row.offset - 1] == '\r');
        if (!first && new_line) read += '\n';
        read += view_row_text(page, row);
        first = false;
    }
    return read;
}

// The notes with every line break as LF, a break at the end dropped.
std::string notes_lines(std::string_view notes) {
    std::string lines;
    for (size_t at = 0; at < notes.size(); ++at) {
        if (notes[at] == '\r' && at + 1 < notes.size() && notes[at + 1] == '\n') ++at;
        lines += notes[at] == '\r' ? '\n' : notes[at];
    }
    if (!lines.empty() && lines.back() == '\n') lines.pop_back();
    return lines;
}

TEST(peer_files, every_note_reads_whole_and_every_attachment_saves) {
    if (!fs::is_directory(peer_dir)) GTEST_SKIP() << "no " << peer_dir << ": cross-check skipped";
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    std::set<std::string> known;
    for (const peer_file& peer : peers) known.insert(peer.name);
    for (const auto& file : fs::directory_iterator(peer_dir)) {
        if (file.path().extension() == ".kdb") {
            EXPECT_TRUE(known.count(file.path().filename())) << file.path() << " is not in the table";
        }
    }

    char pattern[] = "/tmp/kdbrowse-peer-XXXXXX";
    const fs::path out = mkdtemp(pattern);
    int attachments = 0;
    for (const peer_file& peer : peers) {
        SCOPED_TRACE(peer.name);
        std::vector<uint8_t> bytes = read_peer(peer.name);
        if (bytes.empty()) continue;
        uint8_t file_key[kpass_key_size], key[kpass_key_size];
        const bool with_key_file = peer.key_file[0] != '\0';
        if (with_key_file) {
            ASSERT_EQ(read_key_file((peer_dir + "/" + peer.key_file).c_str(), file_key), nullptr);
        }
        kpass_db db;
        ASSERT_EQ(kpass_init_db(&db, bytes.data(), static_cast<int>(bytes.size())), 0);
        kpass_hash_key(peer.password, with_key_file ? file_key : nullptr, key);
        ASSERT_EQ(kpass_decrypt_db(&db, key), 0);
        for (uint32_t i = 0; i < db.entry_count; ++i) {
            const kpass_entry* entry = db.entries[i];
            EXPECT_EQ(notes_read(entry), notes_lines(entry->notes)) << entry->title;
            if (entry->binary_size == 0) continue;
            char name[attachment_name_size];
            attachment_file_name(entry->description, true, name);
            std::string numbered = std::to_string(++attachments);
            numbered += '-';
            numbered += name;
            const fs::path saved = out / numbered;
            ASSERT_EQ(write_new_file(saved.c_str(), {entry->binary, entry->binary_size}), write_result::written);
            std::ifstream in(saved, std::ios::binary);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
                      std::string(reinterpret_cast<const char*>(entry->binary), entry->binary_size));
        }
        kpass_free_db(&db);
    }
    fs::remove_all(out);
    if (fs::exists(peer_dir + "/keepassxc-basic.kdb")) {
        EXPECT_GT(attachments, 0);
    }
    std::setlocale(LC_CTYPE, "C");
}

}  // namespace
