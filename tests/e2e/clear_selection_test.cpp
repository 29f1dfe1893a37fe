// --selection and --clear-after with the real xclip on a private X server:
// where a copy goes, and the helper that takes it out again later.
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "e2e/kdbrowse_steps.h"
#include "e2e/test_files.h"
#include "e2e/xvfb_server.h"
#include "support/secret_search.h"

namespace {

const std::string forum_password = "forum-secret";

// Xvfb and kdbrowse with args on the sample database, unlocked, with Forum
// under the table's cursor. The test becomes the subreaper of the clearing
// helpers, which are orphaned at their start.
struct copy_session {
    xvfb_server x;
    temp_dir dir;
    tmux_session tmux;
    std::string no_xvfb;  // why Xvfb cannot run; "" when it runs
    explicit copy_session(const std::vector<std::string>& args) {
        prctl(PR_SET_CHILD_SUBREAPER, 1);
        if (!(no_xvfb = start_xvfb(x)).empty()) return;
        bool runs = !start_sample(tmux, dir, args, {"DISPLAY=" + x.display}).empty();
        send_keys(tmux, {"Tab"});
        if (!runs || !wait_for_row(tmux, 23, entry_help_80)) ADD_FAILURE() << "no entry table: " << screen_dump(tmux);
    }
};

// Polls until a clearing helper other than other runs as this process's
// child; its pid, or -1.
pid_t wait_for_helper(pid_t other = -1) {
    pid_t helper = -1;
    poll_until([&] {
        for (const auto& process : std::filesystem::directory_iterator("/proc")) {
            std::ifstream stat(process.path() / "stat"), cmdline(process.path() / "cmdline");
            std::string name, state, words((std::istreambuf_iterator<char>(cmdline)), {});
            pid_t pid = 0, parent = 0;
            stat >> pid >> name >> state >> parent;
            if (pid != other && parent == getpid() && words.find("--clear-selection-helper") != std::string::npos)
                return (helper = pid) > 0;
        }
        return false;
    });
    return helper;
}

// Polls until the child pid has ended, and reaps it.
bool wait_for_end(pid_t pid) {
    return poll_until([&] { return waitpid(pid, nullptr, WNOHANG) == pid; }, 20);
}

// PRIMARY is emptied after a second, also once kdbrowse has ended; the
// CLIPBOARD, which another client changed meanwhile, keeps that change.
TEST(clear_selection, a_copy_is_taken_out_after_its_time_unless_it_changed) {
    copy_session s({"-c", "1", "-s", "both"});
    if (!s.no_xvfb.empty()) GTEST_SKIP() << s.no_xvfb;
    send_keys(s.tmux, {"x"});
    pid_t helper = wait_for_helper();
    ASSERT_GT(helper, 0) << screen_dump(s.tmux);
    ASSERT_TRUE(set_selection(s.x, "another text", "clipboard"));
    EXPECT_TRUE(quit_cleanly(s.tmux)) << screen_dump(s.tmux);
    ASSERT_TRUE(wait_for_end(helper));
    std::string last;
    EXPECT_TRUE(wait_for_selection(s.x, "", last, "primary")) << last;
    EXPECT_EQ(read_selection(s.x, "clipboard").output, "another text");
}

// Both selections get the copy. The waiting helper holds nothing of the
// password; a newer copy ends its wait, and kdbrowse's end does not end the
// newer one's.
TEST(clear_selection, the_wait_holds_no_password_and_a_newer_copy_ends_it) {
    copy_session s({"-c", "60", "--selection=both"});
    if (!s.no_xvfb.empty()) GTEST_SKIP() << s.no_xvfb;
    send_keys(s.tmux, {"x"});
    pid_t first = wait_for_helper();
    ASSERT_GT(first, 0) << screen_dump(s.tmux);
    std::string last;
    EXPECT_TRUE(wait_for_selection(s.x, forum_password, last, "clipboard")) << last;
    EXPECT_TRUE(wait_for_selection(s.x, forum_password, last, "primary")) << last;
    if (geteuid() == 0)
        EXPECT_EQ(copies_left_in(first, {{"password", forum_password.data(), forum_password.size(), true}}),
                  std::vector<std::string>{});
    else
        std::cout << "The helper's memory is not searched: that takes root, since it is not dumpable.\n";
    send_keys(s.tmux, {"Down", "x"});
    pid_t second = wait_for_helper(first);
    ASSERT_GT(second, 0);
    EXPECT_TRUE(wait_for_end(first));
    EXPECT_TRUE(quit_cleanly(s.tmux)) << screen_dump(s.tmux);
    EXPECT_EQ(waitpid(second, nullptr, WNOHANG), 0) << "the wait ended with kdbrowse";
    stop_background(second);
}

// "u" and "U" copy the user name and the URL as "x" copies the password,
// in the table and in the entry view, where "x" copies the password.
TEST(clear_selection, u_and_U_copy_the_user_name_and_the_url) {
    copy_session s({});
    if (!s.no_xvfb.empty()) GTEST_SKIP() << s.no_xvfb;
    const struct { const char* keys[2]; std::string copied; } steps[] = {
        {{"u"}, "alice"}, {{"U"}, "https://forum.example"},  // the table
        {{"v", "x"}, forum_password}, {{"u"}, "alice"}, {{"U"}, "https://forum.example"},  // the view
    };
    for (const auto& step : steps) {
        for (const char* key : step.keys)
            if (key != nullptr) send_keys(s.tmux, {key});
        std::string last;
        EXPECT_TRUE(wait_for_selection(s.x, step.copied, last)) << step.keys[0] << ": " << last;
    }
    send_keys(s.tmux, {"q"});
    EXPECT_TRUE(wait_for_row(s.tmux, 23, entry_help_80)) << screen_dump(s.tmux);
    EXPECT_TRUE(quit_cleanly(s.tmux)) << screen_dump(s.tmux);
}

}  // namespace
