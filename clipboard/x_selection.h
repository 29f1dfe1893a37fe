// The two X selections "x" can fill, as xclip is told about them.
#pragma once

#include <span>
#include <string_view>

struct x_selection {
    const char* name;                          // "primary" or "clipboard"
    std::span<const char* const> xclip_words;  // the xclip arguments that choose it
};

// PRIMARY is xclip's own default and takes no words, so that a copy to it
// is the plain call, with no arguments at all.
inline constexpr const char* clipboard_words[] = {"-selection", "clipboard"};
inline constexpr x_selection primary_selection = {"primary", {}};
inline constexpr x_selection clipboard_selection = {"clipboard", clipboard_words};

// The selection called name, exactly as written above; null for any other
// text.
inline const x_selection* find_selection(std::string_view name) {
    if (name == primary_selection.name) return &primary_selection;
    if (name == clipboard_selection.name) return &clipboard_selection;
    return nullptr;
}
