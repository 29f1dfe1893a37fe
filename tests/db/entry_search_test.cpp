#include "db/entry_search.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <utility>

#include "kpass/kpass.h"
#include "screen/text_search.h"
#include "support/memory_db.h"

namespace {

using field = char* kpass_entry::*;
constexpr field title = &kpass_entry::title, username = &kpass_entry::username, url = &kpass_entry::url;
constexpr field notes = &kpass_entry::notes, password = &kpass_entry::password;

// A field left out or the password searched; case told apart, or folded
// by bytes instead of characters; an invalid byte taken for another, or a
// match begun inside a character.
TEST(entry_matches, searches_four_fields_case_ignored_by_the_locale) {
    const struct { field in; std::string text, needle; bool utf8, found; } cases[] = {
        {title, "Online Banking", "BANK", false, true},
        {username, "abcdefghijklmnopqrstuvwxyZ", "z", true, true},
        {url, "https://Example.COM/x", "example.com", false, true},
        {notes, "Security question: first pet", "PET", true, true},
        {password, "Hunter2", "hunter", true, false},
        {title, "B\u00e4renstra\u00dfe", "B\u00c4REN", true, true},
        {title, "B\u00e4renstra\u00dfe", "B\u00c4REN", false, false},  // bytes outside ASCII as they are
        {title, "\u212a", "k", true, true},  // KELVIN SIGN lowers to k
        // Final sigma, sigma and capital sigma are one letter; a fold may
        // change a character's length ("\u017f", long s, is an s).
        {title, "\u03bf\u03b4\u03bf\u03c2", "\u039f\u0394\u039f\u03a3", true, true},
        {title, "\u03bf\u03b4\u03bf\u03c2", "\u03c3", true, true},
        {title, "\u017ftra\u00dfe", "STRA", true, true},
        // A part matched that fails goes back to the needle's start that
        // ends it, by bytes once the usual compares have cost the text's length.
        {notes, "\u00c4\u00c4\u00c4B", "\u00e4\u00e4b", true, true},
        {notes, "\xff\xff\xff" "a", "\xff\xff" "a", true, true},
        {notes, std::string(60, 'A') + "b", "aab", false, true},
        {notes, std::string(60, 'A') + "b", "aab", true, true},
        {notes, std::string(60, 'a') + "ba", "aaax", true, false},
        // Invalid bytes: each equal only to itself; a match lies between characters.
        {title, "caf\xe9", "\xe9", true, true},
        {title, "caf\xe9", "\xc9", true, false},
        {title, "\xff" "Zebra", "zEB", true, true},
        {title, "\xe2\x82\xac", "\x82", true, false},
    };
    for (const auto& c : cases) {
        ASSERT_NE(std::setlocale(LC_CTYPE, c.utf8 ? "C.UTF-8" : "C"), nullptr);
        std::string none, text = c.text;
        kpass_entry e{};
        e.title = e.username = e.url = e.notes = e.password = none.data();
        e.*c.in = text.data();
        EXPECT_EQ(entry_matches(&e, new_search_pattern(c.needle, c.utf8)), c.found)
            << c.text << " / " << c.needle << (c.utf8 ? " (UTF-8)" : " (C)");
    }
    std::setlocale(LC_CTYPE, "C");
}

// Groups in tree order: g0 (id 1), g1 (id 2), g2 (id 1 again), g3 (id 3,
// empty). g0 and g2 show b, e; g1 shows a, d; the orphan shows nowhere.
// Guards a search that starts in the wrong place, skips or repeats
// entries, does not wrap, or finds an entry no group shows; backward, one
// that is not the same walk reversed.
TEST(find_next_entry, walks_the_tree_from_the_start_and_wraps) {
    memory_db m;
    for (uint32_t id : {1u, 2u, 1u, 3u}) m.add_group(id, "g");
    const std::pair<uint32_t, const char*> entries[] = {{2, "a x"}, {1, "b x"}, {9, "orphan x"}, {2, "d x"}, {1, "e x"}};
    for (auto [group_id, name] : entries) m.add_entry(group_id, name);
    const struct { const char* needle; search_start start; found_entry found, back; } cases[] = {
        {"x", {0, -1}, {0, 0}, {2, 1}},   // from the tree: the group's first entry; back: the group above's last
        {"x", {0, 0}, {0, 1}, {2, 1}},    // from the table: just after (before) the cursor
        {"x", {1, 1}, {2, 0}, {1, 0}},    // the same entries again under g2
        {"x", {2, 1}, {0, 0}, {2, 0}},    // past the empty last group, round to the first
        {"x", {3, 0}, {0, 0}, {2, 1}},    // from an empty table
        {"e x", {1, -1}, {2, 1}, {0, 1}}, // the nearer of two groups with one id
        {"d x", {1, 1}, {1, 1}, {1, 1}},  // a sole match is found again from itself
        {"orphan", {0, -1}, {-1, 0}, {-1, 0}},
    };
    for (const auto& c : cases) {
        const search_pattern pattern = new_search_pattern(c.needle, false);
        found_entry f = find_next_entry(m.db(), c.start, pattern, search_direction::forward);
        found_entry b = find_next_entry(m.db(), c.start, pattern, search_direction::backward);
        EXPECT_EQ(std::pair(f.group_index, f.position), std::pair(c.found.group_index, c.found.position))
            << c.needle << " from " << c.start.group_index << "," << c.start.after_position;
        EXPECT_EQ(std::pair(b.group_index, b.position), std::pair(c.back.group_index, c.back.position))
            << c.needle << " back from " << c.start.group_index << "," << c.start.after_position;
    }
}

}  // namespace
