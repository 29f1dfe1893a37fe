#include "app/save_attachment.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/attachment_name.h"
#include "app/write_new_file.h"
#include "dialogs/prompts.h"
#include "kpass/kpass.h"
#include "screen/utf8.h"

namespace {

// The path to write: typed, or with its "~/" made $HOME; "" when that
// takes a $HOME and there is none.
std::string path_of(const char* typed) {
    if (std::strncmp(typed, "~/", 2) != 0) return typed;
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') return "";
    return std::string(home) + "/" + (typed + 2);
}

const char* message_of(write_result result) {
    switch (result) {
    case write_result::written: return "Saved.";
    case write_result::exists: return "File exists.";
    default: return "Couldn't write.";
    }
}

}  // namespace

void save_attachment(const kpass_entry* entry) {
    if (entry->binary_size == 0) {
        message_box("No attachment.");
        return;
    }
    char name[attachment_name_size];
    attachment_file_name(entry->description, utf8_locale(), name);
    char typed[save_path_size];
    if (prompt_save_path(typed, sizeof typed, name) != 0 || typed[0] == '\0') return;
    const std::string path = path_of(typed);
    const write_result result =
        path.empty() ? write_result::failed : write_new_file(path.c_str(), {entry->binary, entry->binary_size});
    message_box(message_of(result));
}
