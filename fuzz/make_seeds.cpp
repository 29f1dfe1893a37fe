// Writes the seed corpora under fuzz/corpus: files for fuzz_file, sealed
// contents for fuzz_contents and key sequences for fuzz_keys. Seeds and
// identifiers are fixed, so that running it again writes the same bytes.
//
//   build-fuzz/fuzz/fuzz_make_seeds [source dir]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fixtures.h"
#include "kpass/kpass.h"

namespace {

std::string root;

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void save(const std::string& target, const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = root + "/fuzz/corpus/" + target + "/" + name;
    if (!kdb_save(path, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

std::array<uint8_t, 5> time_of(const uint8_t packed[5]) { return {packed[0], packed[1], packed[2], packed[3], packed[4]}; }

// The demo database's records as the writer takes them, to seal them again with the
// fuzz password and one round.
void read_demo(std::vector<kdb_group_spec>& groups, std::vector<kdb_entry_spec>& entries) {
    std::vector<uint8_t> file = read_file(root + "/examples/demo.kdb");
    kpass_db db;
    uint8_t key[kpass_key_size];
    kpass_hash_pw("demo", key);
    if (kpass_init_db(&db, file.data(), static_cast<int>(file.size())) != 0 || kpass_decrypt_db(&db, key) != 0) {
        std::fprintf(stderr, "cannot open the demo database\n");
        std::exit(1);
    }
    for (uint32_t i = 0; i < db.group_count; ++i) {
        const kpass_group& g = *db.groups[i];
        kdb_group_spec record;
        record.id = g.id;
        record.name = g.name;
        record.level = g.level;
        record.image_id = g.image_id;
        record.flags = g.flags;
        record.ctime = time_of(g.ctime), record.mtime = time_of(g.mtime), record.atime = time_of(g.atime);
        record.etime = time_of(g.etime);
        groups.push_back(record);
    }
    for (uint32_t i = 0; i < db.entry_count; ++i) {
        const kpass_entry& e = *db.entries[i];
        kdb_entry_spec record;
        std::copy(e.uuid, e.uuid + 16, record.uuid.begin());
        record.group_id = e.group_id;
        record.image_id = e.image_id;
        record.title = e.title, record.url = e.url, record.username = e.username, record.password = e.password;
        record.notes = e.notes, record.description = e.description;
        record.binary.assign(reinterpret_cast<const char*>(e.binary), e.binary_size);
        record.ctime = time_of(e.ctime), record.mtime = time_of(e.mtime), record.atime = time_of(e.atime);
        record.etime = time_of(e.etime);
        entries.push_back(record);
    }
    kpass_free_db(&db);
}

// The fuzz_contents input for these records: the two count bytes, then the
// contents as the file holds them once decrypted.
std::vector<uint8_t> contents_input(const std::vector<kdb_group_spec>& groups,
                                    const std::vector<kdb_entry_spec>& entries) {
    std::vector<uint8_t> input{static_cast<uint8_t>(groups.size()), static_cast<uint8_t>(entries.size())};
    for (const kdb_group_spec& g : groups) {
        std::vector<uint8_t> record = kdb_group_record(g);
        input.insert(input.end(), record.begin(), record.end());
    }
    for (const kdb_entry_spec& e : entries) {
        std::vector<uint8_t> record = kdb_entry_record(e);
        input.insert(input.end(), record.begin(), record.end());
    }
    return input;
}

// Meta-stream entries between entries of the user's that miss one of the
// seven conditions each (here: the attachment, the image id), so that the
// fuzzers start next to the test that leaves meta-streams out.
std::vector<kdb_entry_spec> meta_stream_entries() {
    kdb_entry_spec meta;
    meta.group_id = 1;
    meta.title = "Meta-Info", meta.username = "SYSTEM", meta.url = "$";
    meta.notes = "Simple UI State", meta.description = "bin-stream";
    meta.binary = std::string("\x01\x00\x02", 3);
    kdb_entry_spec no_attachment = meta, with_image = meta;
    no_attachment.binary.clear();
    with_image.image_id = 1;
    return {meta, no_attachment, meta, with_image, meta};
}

// The bytes of a literal, NULs included.
template <size_t N>
std::vector<uint8_t> bytes(const char (&text)[N]) {
    return {text, text + N - 1};
}

}  // namespace

int main(int argc, char** argv) {
    root = argc > 1 ? argv[1] : ".";
    std::vector<kdb_group_spec> demo_groups;
    std::vector<kdb_entry_spec> demo_entries;
    read_demo(demo_groups, demo_entries);
    kdb_write_options options = fuzz_write_options();
    kdb_write_options twofish = options;
    twofish.cipher = kdb_cipher::twofish;

    save("fuzz_file", "demo.kdb", kdb_write(options, demo_groups, demo_entries, fuzz_password));
    save("fuzz_file", "demo-twofish.kdb", kdb_write(twofish, demo_groups, demo_entries, fuzz_password));
    save("fuzz_file", "browse.kdb", kdb_write(options, browse_groups(), browse_entries(), fuzz_password));
    save("fuzz_file", "groupless.kdb", kdb_write(options, {}, groupless_entries(), fuzz_password));
    save("fuzz_file", "empty.kdb", kdb_write(options, {}, {}, fuzz_password));
    std::vector<kdb_group_spec> one_group(demo_groups.begin(), demo_groups.begin() + 1);
    one_group[0].id = 1;
    save("fuzz_file", "meta-streams.kdb", kdb_write(options, one_group, meta_stream_entries(), fuzz_password));
    std::vector<uint8_t> wrong = kdb_write(options, demo_groups, demo_entries, "not the fuzz password");
    save("fuzz_file", "other-password.kdb", wrong);

    save("fuzz_contents", "demo", contents_input(demo_groups, demo_entries));
    save("fuzz_contents", "browse", contents_input(browse_groups(), browse_entries()));
    save("fuzz_contents", "groupless", contents_input({}, groupless_entries()));
    save("fuzz_contents", "empty", {0, 0});
    save("fuzz_contents", "meta-streams", contents_input(one_group, meta_stream_entries()));

    // Key sequences: browse and scroll; the entry dialog; resizes down to
    // tiny sizes; "open" with the other database, a wrong password, a
    // directory; revealing and copying; finding and the page keys; the
    // entry view, scrolled, resized and copied from; saving an attachment
    // from the table and from the view.
    save("fuzz_keys", "browse", bytes("\x01\x01\x05\x01\x01\x01\x0d\x09\x05\x01\x05\x01\x01\x01\x01\x05"));
    save("fuzz_keys", "entry-dialog", bytes("\x05\x07\x05\x05\x01\x01\x06\x06\x06\x06\x06\x06\x06\x06\x06\x06\x06\x06"));
    save("fuzz_keys", "resize", bytes("\x01\x0f\x02\x09\x05\x0f\x05\x28\x07\x0f\x00\x00\x0f\x17\x4f\x07\x06"));
    save("fuzz_keys", "open", bytes("\x0a\x12\x06\x11\x06\x05\x0a\x13\x06\x06\x0a\x10\x06wrong\x06\x06\x05\x05\x06"));
    save("fuzz_keys", "reveal-copy", bytes("\x05\x0d\x08\x01\x09\x08\x0b\x0c\x05\x0e"));
    save("fuzz_keys", "find-and-page", bytes("/e\x06nn\x05/zzz\x06\x06\x17\x18\x19\x15/\x05\x05\x06n"));
    save("fuzz_keys", "entry-view", bytes("\x05v\x17\x19r\x0f\x05\x14\x0f\x17\x4fxuUq\x05\x01\x01\x05vr\x06N"));
    save("fuzz_keys", "save-attachment", bytes("\x01\x01\x05w\x06\x06w\x06\x06vw\x04\x04\x04\x04\x04\x04\x04\x04~/x\x06\x06q\x05w\x06"));
    return 0;
}
