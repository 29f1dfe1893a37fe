// Writes examples/demo.kdb, the demo database (password "demo"): a small,
// realistic tree of groups and entries. Seeds, identifiers and times are
// fixed, so that running it again writes the same bytes.
//
//   cmake --build build --target make-demo && build/make-demo [output path]
#include <cstdio>
#include <string>
#include <vector>

#include "kpass/writer/kdb_writer.h"

namespace {

struct demo_entry {
    uint32_t group_id;
    const char* title;
    const char* username;
    const char* password;
    const char* url;
    const char* notes;
    int image_id;
    int expires_year;  // 0: never expires
};

const demo_entry demo_entries[] = {
    {1, "Wikipedia", "alice", "kj8#Lw2!qZ", "https://en.wikipedia.org/", "", 1, 2027},
    {1, "Search engine account", "alice.smith", "Vh7*pp0-Wn3", "https://accounts.example.com/", "", 1, 0},
    {1, "News paper subscription", "alice@example.org", "Rain-Coat-42", "https://news.example.net/login", "Yearly plan, renews in March.", 1, 2026},
    {2, "Photo sharing", "alice_pics", "s!unSet99", "https://photos.example.com/", "", 1, 2026},
    {2, "Microblog", "@alice", "t0ucan#Blue", "https://social.example.social/@alice", "Two-factor codes are in the Backup codes entry.", 1, 2027},
    {2, "Forum", "alice", "forum-pw-1234", "https://forum.example.org/", "", 1, 2025},
    {3, "Bookshop", "alice@example.org", "Paperback&Ink7", "https://books.example.com/account", "Loyalty number 0042 1337 9001", 66, 2026},
    {3, "Hardware store", "asmith", "Hammer!Nail22", "https://diy.example.com/", "", 66, 2024},
    {3, "Online market with a very long name indeed", "alice.smith", "M4rket-Pl4ce", "https://market.example.com/", "", 66, 2028},
    {4, "Personal mail", "alice@example.org", "c0rrect-h0rse", "https://mail.example.org/", "IMAP: imap.example.org:993\nSMTP: smtp.example.org:587", 19, 2027},
    {4, "Old mail account", "alice1987@example.net", "letmein87", "https://webmail.example.net/", "Kept for old newsletters only.", 19, 2023},
    {4, "Mailing list admin", "list-admin", "Lists&More5", "https://lists.example.org/admin", "", 19, 2026},
    {5, "Current account", "12345678", "8812", "https://bank.example.com/", "Sort code 12-34-56", 37, 2026},
    {5, "Savings", "12345679", "Save$Money4", "https://bank.example.com/savings", "", 37, 0},
    {5, "Tax office", "AB123456C", "Tax-Time-2024", "https://tax.example.gov/", "Reference letters are in the blue folder.", 37, 2025},
    {6, "Credit card", "4111 1111 1111 1111", "CVC 123", "", "Expires 09/27. Card PIN 4321.", 37, 2027},
    {6, "Debit card", "5500 0000 0000 0004", "PIN 9876", "", "", 37, 2026},
    {7, "Cancelled store card", "6011 0000 0000 0004", "PIN 1111", "", "Cancelled in 2019.", 37, 2019},
    {8, "VPN", "asmith", "Tunnel-Vision-8", "vpn.corp.example.com", "Use the full client, not the web portal.", 27, 2025},
    {8, "Time sheets", "asmith", "Hours&Hours3", "https://timesheet.corp.example.com/", "", 27, 2025},
    {8, "Wiki", "alice.smith", "Know-Ledge-12", "https://wiki.corp.example.com/display/TEAM/Onboarding+and+first+steps+for+new+team+members", "", 27, 2026},
    {9, "Build server", "deploy", "b8f2-91aa-7c3e", "ssh://build01.corp.example.com:2222", "Key-based login preferred; this password is for the console.", 30, 2026},
    {9, "Database server", "postgres", "Pg!Adm1n#2024", "postgresql://db01.corp.example.com:5432/app", "Read replica: db02.", 30, 2026},
    {9, "Router", "admin", "R0uter-Adm!n", "http://192.0.2.1/", "", 30, 0},
    {8, "Backup codes", "", "", "", "1. 4823-1192\n2. 9932-0018\n3. 5521-7730\n4. 1180-6645", 0, 0},
};

struct demo_group {
    uint32_t id;
    const char* name;
    uint16_t level;
    uint32_t image_id;
};

const demo_group demo_groups[] = {
    {1, "Internet", 0, 1}, {2, "Social", 1, 1},   {3, "Shopping", 1, 66},     {4, "eMail", 0, 19},
    {5, "Banking", 0, 37}, {6, "Cards", 1, 37},   {7, "Old cards", 2, 37},    {8, "Work", 0, 27},
    {9, "Servers", 1, 30},
};

std::array<uint8_t, 5> never() { return kdb_pack_time(2999, 12, 28, 23, 59, 59); }

}  // namespace

int main(int argc, char** argv) {
    std::string path = argc > 1 ? argv[1] : DEMO_PATH;

    std::vector<kdb_group_spec> groups;
    for (const demo_group& g : demo_groups) {
        kdb_group_spec group;
        group.id = g.id;
        group.name = g.name;
        group.level = g.level;
        group.image_id = g.image_id;
        group.ctime = group.mtime = kdb_pack_time(2021, 3, 14, 9, 26, 53);
        group.atime = kdb_pack_time(2024, 5, 1, 8, 0, 0);
        group.etime = never();
        groups.push_back(group);
    }

    std::vector<kdb_entry_spec> entries;
    int n = 0;
    for (const demo_entry& e : demo_entries) {
        kdb_entry_spec entry;
        for (int i = 0; i < 16; ++i) entry.uuid[i] = static_cast<uint8_t>(0x40 + n * 7 + i * 13);
        entry.group_id = e.group_id;
        entry.image_id = e.image_id;
        entry.title = e.title;
        entry.username = e.username;
        entry.password = e.password;
        entry.url = e.url;
        entry.notes = e.notes;
        entry.ctime = kdb_pack_time(2022, 1 + n % 12, 1 + n, 10, n, 2 * n);
        entry.mtime = kdb_pack_time(2023, 1 + (n + 5) % 12, 2 + n, 11, 2 * n, n);
        entry.atime = kdb_pack_time(2024, 6, 1 + n, 12, 30, 0);
        entry.etime = e.expires_year == 0 ? never() : kdb_pack_time(e.expires_year, 12, 31, 23, 59, 0);
        entries.push_back(entry);
        ++n;
    }

    kdb_write_options options;
    options.cipher = kdb_cipher::aes;
    options.rounds = 60000;
    options.master_seed = std::array<uint8_t, 16>{0x6b, 0x64, 0x62, 0x72, 0x6f, 0x77, 0x73, 0x65,
                                                  0x20, 0x64, 0x65, 0x6d, 0x6f, 0x20, 0x31, 0x00};
    options.iv = std::array<uint8_t, 16>{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88,
                                         0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xf0, 0x01};
    std::array<uint8_t, 32> transform_seed;
    for (int i = 0; i < 32; ++i) transform_seed[i] = static_cast<uint8_t>(i * 29 + 3);
    options.transform_seed = transform_seed;

    if (!kdb_save(path, kdb_write(options, groups, entries, "demo"))) {
        std::fprintf(stderr, "make-demo: cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("wrote %s: %zu groups, %zu entries, password \"demo\"\n", path.c_str(), groups.size(),
                entries.size());
    return 0;
}
