// Steps that many end-to-end tests take through kdbrowse's screens.
#pragma once

#include <string>
#include <vector>

#include "e2e/test_files.h"
#include "e2e/tmux_session.h"

// The help bar of each pane, as the program writes it from column 0.
inline const std::string group_help = "a:add-group  e:edit  o:open  q:quit  s:save  [tab],[return]:select";
inline const std::string entry_help =
    "a:add-entry  e,[return]:edit  [tab]:groups  o:open  q:quit  [space],r:reveal  s:save  x:xclip";
// The entry pane's bar on an 80-column screen: a character written in the
// last column leaves the cursor there, so the blanks that end the bar
// overwrite it, and 79 characters show.
inline const std::string entry_help_80 = entry_help.substr(0, 79);

// Waits for the password prompt, types password and confirms it.
bool enter_password(const tmux_session& session, const std::string& password);

// Waits for the database-file prompt, types path and confirms it.
bool enter_path(const tmux_session& session, const std::string& path);

// Tab, Tab, Enter: from the input field of a prompt to "[CANCEL]", pressed.
void cancel_prompt(const tmux_session& session);

// Waits for the browsing screen of a height-row terminal: the group pane's
// help bar on the last row.
bool wait_for_browsing(const tmux_session& session, int height = 24);

// Starts kdbrowse on path in a width x height window and unlocks it with
// password; true once the browsing screen shows.
bool start_unlocked(tmux_session& session, const std::string& dir, const std::string& path,
                    const std::string& password, int width = 80, int height = 24);

// Writes the sample database to dir and starts kdbrowse on it (args, then
// its path; env as start_kdbrowse takes it), unlocked: its path, or "" when
// the browsing screen did not show.
std::string start_sample(tmux_session& session, const temp_dir& dir, std::vector<std::string> args = {},
                         const std::vector<std::string>& env = {});

// Presses "o", types path and then password, and waits until the browsing
// screen of that database shows (its path on the title bar).
bool open_database_file(const tmux_session& session, const std::string& path, const std::string& password);

// Presses "q" and waits for the program to end with status 0 and the
// terminal restored.
bool quit_cleanly(const tmux_session& session);

// CPU time (user + system) the process has used so far, in seconds; -1
// when it cannot be read.
double cpu_seconds(pid_t pid);
