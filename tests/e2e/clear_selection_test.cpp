// --selection and --clear-after with the real xclip on a private X server:
// where a copy goes, and the helper that takes it out again later.
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "clipboard/socket_passing.h"
#include "e2e/kdbrowse_steps.h"
#include "e2e/test_files.h"
#include "e2e/xvfb_server.h"
#include "support/secret_search.h"

namespace {

const std::string forum_password = "forum-secret";

// Xvfb and kdbrowse with args on the sample database, unlocked, with Forum
// under the table's cursor; run through loader when one is given (env runs
// the first word of its settings that holds no '='). The test becomes the
// subreaper of the clearing helpers, which are orphaned at their start.
struct copy_session {
    xvfb_server x;
    temp_dir dir;
    tmux_session tmux;
    std::string no_xvfb;  // why Xvfb cannot run; "" when it runs
    explicit copy_session(const std::vector<std::string>& args, const std::string& loader = "") {
        prctl(PR_SET_CHILD_SUBREAPER, 1);
        if (!(no_xvfb = start_xvfb(x)).empty()) return;
        std::vector<std::string> env = {"DISPLAY=" + x.display};
        if (!loader.empty()) env.push_back(loader);
        bool runs = !start_sample(tmux, dir, args, env).empty();
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
    if (geteuid() == 0) {
        EXPECT_EQ(copies_left_in(first, {{"password", forum_password.data(), forum_password.size(), true}}),
                  std::vector<std::string>{});
        // Another process cannot open the helper's sockets through /proc,
        // as it could a pipe, to read what kdbrowse writes into them.
        for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(first) + "/fd")) {
            std::string target = std::filesystem::read_symlink(fd.path());
            if (target.starts_with("/") || target.starts_with("anon_inode:")) continue;
            int opened = open(fd.path().c_str(), O_RDONLY | O_NONBLOCK);
            EXPECT_TRUE(opened < 0 && errno == ENXIO) << target << " opened";
            if (opened >= 0) close(opened);
        }
    } else {
        std::cout << "The helper's memory and descriptors are not searched: that takes root (it is not dumpable).\n";
    }
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

// Run through the dynamic loader, /proc/self/exe is the loader, which is
// no helper: the copy has failed, and PRIMARY is emptied at once.
TEST(clear_selection, a_helper_that_never_answers_fails_the_copy_and_empties_it) {
    const std::string loader = "/lib64/ld-linux-x86-64.so.2";
    if (access(loader.c_str(), X_OK) != 0) GTEST_SKIP() << "no " << loader;
    copy_session s({"-c", "3"}, loader);
    if (!s.no_xvfb.empty()) GTEST_SKIP() << s.no_xvfb;
    send_keys(s.tmux, {"x"});
    EXPECT_TRUE(wait_for_text(s.tmux, "Couldn't copy.")) << screen_dump(s.tmux);
    std::string last;
    EXPECT_TRUE(wait_for_selection(s.x, "", last, "primary")) << last;
    send_keys(s.tmux, {"Enter"});
    EXPECT_TRUE(quit_cleanly(s.tmux)) << screen_dump(s.tmux);
}

// A helper whose handover does not come whole (kdbrowse gone before it
// took the helper's socket, or after 10 of its bytes) empties its
// selection at once, since the copy was made before it started, and ends.
TEST(clear_selection, a_helper_without_its_whole_handover_empties_the_selection_at_once) {
    xvfb_server x;
    if (std::string no_xvfb = start_xvfb(x); !no_xvfb.empty()) GTEST_SKIP() << no_xvfb;
    for (ssize_t handed : {-1, 10}) {
        ASSERT_TRUE(set_selection(x, "the copy", "primary"));
        int first[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, first), 0);
        // Not exec'd by the shell: start_background made that process a
        // session leader, which the helper must not be.
        pid_t shell = start_background({"sh", "-c", "\"$0\" --clear-selection-helper 60 primary <&" +
                                                        std::to_string(first[1]), KDBROWSE_BINARY},
                                       {"DISPLAY=" + x.display}, first[1]);
        close(first[1]);
        if (handed >= 0) {
            int own = receive_descriptor(first[0], deadline_in(10000));
            EXPECT_EQ(write(own, std::string(10, 'k').data(), 10), handed);
            close(own);
        }
        close(first[0]);
        std::string last;
        EXPECT_TRUE(wait_for_selection(x, "", last, "primary")) << handed << ": " << last;
        EXPECT_TRUE(wait_for_end(shell));
    }
}

}  // namespace
