#include "e2e/kdbrowse_steps.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <vector>

bool enter_password(const tmux_session& session, const std::string& password) {
    if (!wait_for_text(session, "Password:")) return false;
    send_text(session, password);
    send_keys(session, {"Enter"});
    return true;
}

bool enter_path(const tmux_session& session, const std::string& path) {
    if (!wait_for_text(session, "Database File:")) return false;
    send_text(session, path);
    send_keys(session, {"Enter"});
    return true;
}

void cancel_prompt(const tmux_session& session) { send_keys(session, {"Tab", "Tab", "Enter"}); }

bool wait_for_browsing(const tmux_session& session, int height) {
    return wait_for_row(session, height - 1, group_help);
}

bool start_unlocked(tmux_session& session, const std::string& dir, const std::string& path,
                    const std::string& password, int width, int height) {
    return start_kdbrowse(session, dir, {path}, {}, width, height) && enter_password(session, password) &&
           wait_for_browsing(session, height);
}

std::string start_sample(tmux_session& session, const temp_dir& dir, std::vector<std::string> args,
                         const std::vector<std::string>& env) {
    const std::string path = write_database(dir, "sample.kdb", sample_database(), sample_password);
    args.push_back(path);
    bool runs = !path.empty() && start_kdbrowse(session, dir.path, args, env) &&
                enter_password(session, sample_password) && wait_for_browsing(session);
    return runs ? path : "";
}

bool open_database_file(const tmux_session& session, const std::string& path, const std::string& password) {
    send_keys(session, {"o"});
    return enter_path(session, path) && enter_password(session, password) && wait_for_row(session, 0, path) &&
           wait_for_browsing(session);
}

bool quit_cleanly(const tmux_session& session) {
    send_keys(session, {"q"});
    std::optional<int> status = wait_for_exit(session);
    return status == 0 && terminal_restored(session);
}

double cpu_seconds(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The command name in parentheses may hold blanks: count the fields
    // from after its closing parenthesis, where field 3 (the state) starts.
    size_t end_of_name = text.rfind(')');
    if (end_of_name == std::string::npos) return -1;
    std::istringstream fields(text.substr(end_of_name + 1));
    std::vector<std::string> values;
    for (std::string value; fields >> value;) values.push_back(value);
    if (values.size() < 13) return -1;
    // Fields 14 and 15: user and system time in clock ticks.
    double ticks = std::stod(values[11]) + std::stod(values[12]);
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}
