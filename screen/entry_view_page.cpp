#include "screen/entry_view_page.h"

#include <algorithm>
#include <cstdio>
#include <span>

#include "kpass/kpass.h"
#include "screen/display_text.h"
#include "screen/utf8.h"

namespace {

constexpr int tab_stop = 8;
const char password_mask[] = "********";

// The page being written, row by row.
struct page_writer {
    entry_view_page page;
    int width;
    bool utf8;
    int cells = 0;  // cells of the last row so far

    void begin_row(view_part part, std::size_t offset) {
        page.rows.push_back({page.text.size(), 0, false, part, offset});
        cells = 0;
    }
    void add_bytes(const char* bytes, std::size_t size, int unit_cells) {
        page.text.insert(page.text.end(), bytes, bytes + size);
        page.rows.back().size += size;
        cells += unit_cells;
    }
    void add_unit(const display_unit& unit) {
        for (const wchar_t* c = unit.chars; *c != 0; ++c) {
            char bytes[4];
            add_bytes(bytes, utf8_encode(static_cast<char32_t>(*c), bytes), 0);
        }
        cells += unit.cells;
    }
    void add_blanks(int count) {
        for (int i = 0; i < count; ++i) add_bytes(" ", 1, 1);
    }
};

// Writes texts after each other into the row begun last, cut to the width.
void add_cut(page_writer& w, std::span<const std::string_view> texts) {
    std::size_t total = static_cast<std::size_t>(w.cells);
    for (std::string_view text : texts) total += display_cells(text, w.utf8);
    const bool cut = total > static_cast<std::size_t>(w.width);
    const int room = cut ? w.width - 1 : w.width;
    for (std::string_view text : texts) {
        while (!text.empty()) {
            const display_unit unit = next_display_unit(text, w.utf8);
            if (w.cells + unit.cells > room) break;
            w.add_unit(unit);
            text.remove_prefix(unit.size);
        }
    }
    w.page.rows.back().cut = cut;
}

// A row of its own: the label, a blank, the value and what follows it.
void add_field(page_writer& w, view_part part, std::string_view label, std::string_view value,
               std::string_view after = {}) {
    w.begin_row(part, 0);
    const std::string_view texts[] = {label, " ", value, after};
    add_cut(w, texts);
}

// Writes text into the row begun last and as many rows after it as it
// needs, of the same part, each beginning with indent blanks. offset is
// where text starts in the part's own text. With tabs, a tab moves to the
// next tab stop (or the row's end).
void add_wrapped(page_writer& w, view_part part, std::string_view text, std::size_t offset, int indent, bool tabs) {
    if (indent >= w.width) indent = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::string_view rest = text.substr(at);
        const bool tab = tabs && rest[0] == '\t';
        const display_unit unit = tab ? display_unit{{L' ', 0}, 1, 1} : next_display_unit(rest, w.utf8);
        if (w.cells + unit.cells > w.width && w.cells > indent) {
            w.begin_row(part, offset + at);
            w.add_blanks(indent);
        }
        if (tab) {
            w.add_blanks(std::min(tab_stop - w.cells % tab_stop, w.width - w.cells));
        } else if (w.cells + unit.cells > w.width) {
            w.add_unit({{L'?', 0}, 1, unit.size});  // a wide character on a row of one cell
        } else {
            w.add_unit(unit);
        }
        at += unit.size;
    }
}

// The notes' lines, each from a row of its own.
void add_notes(page_writer& w, std::string_view notes) {
    for (std::size_t at = 0; at < notes.size();) {
        std::size_t end = notes.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = notes.size();
        w.begin_row(view_part::notes, at);
        add_wrapped(w, view_part::notes, notes.substr(at, end - at), at, 0, true);
        at = end;
        if (at < notes.size()) at += notes.compare(at, 2, "\r\n") == 0 ? 2 : 1;
    }
}

void add_password(page_writer& w, const char* password, bool reveal) {
    const std::string_view label = "Password:";
    if (!reveal) {
        add_field(w, view_part::password, label, password_mask);
        return;
    }
    add_field(w, view_part::password, label, "");
    add_wrapped(w, view_part::password, password, 0, static_cast<int>(label.size()) + 1, false);
}

void add_attachment(page_writer& w, const kpass_entry* entry) {
    if (entry->binary_size == 0) {
        add_field(w, view_part::attachment, "Attachment:", "none");
        return;
    }
    char size[32];
    std::snprintf(size, sizeof size, ", %lu bytes", static_cast<unsigned long>(entry->binary_size));
    const char* name = entry->description[0] != '\0' ? entry->description : "(no name)";
    add_field(w, view_part::attachment, "Attachment:", name, size);
}

}  // namespace

entry_view_page lay_out_entry_view(const kpass_entry* entry, const char* expires, bool reveal, int width,
                                   bool utf8) {
    page_writer w{{}, width < 1 ? 1 : width, utf8};
    add_field(w, view_part::title, "Title:", entry->title);
    add_field(w, view_part::username, "Username:", entry->username);
    add_field(w, view_part::url, "URL:", entry->url);
    add_password(w, entry->password, reveal);
    add_field(w, view_part::expires, "Expires:", expires);
    add_attachment(w, entry);
    w.begin_row(view_part::gap, 0);
    w.begin_row(view_part::notes_label, 0);
    const std::string_view notes_label[] = {"Notes:"};
    add_cut(w, notes_label);
    add_notes(w, entry->notes);
    return std::move(w.page);
}

std::string_view view_row_text(const entry_view_page& page, const view_row& row) {
    return {page.text.data() + row.start, row.size};
}

int row_showing(const entry_view_page& page, const view_row& row) {
    int found = 0;
    for (std::size_t i = 0; i < page.rows.size(); ++i) {
        const view_row& r = page.rows[i];
        if (r.part < row.part || (r.part == row.part && r.offset <= row.offset)) found = static_cast<int>(i);
    }
    return found;
}
