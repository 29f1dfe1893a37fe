#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "clipboard/copy_to_selections.h"
#include "clipboard/pipe_to_program.h"

namespace {

// A stand-in for the clipboard program: records its standard input, its
// argument words and its open descriptors, so that the test can see exactly
// what the child was given.
class StandIn : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kdbrowse-clip-XXXXXX";
        dir_ = mkdtemp(pattern);
        program_ = dir_ + "/recorder";
        std::ofstream script(program_);
        script << "#!/bin/sh\n"
               << "cat > '" << dir_ << "/stdin'\n"
               << "echo \"$0 $#\" > '" << dir_ << "/args'\n"
               << "ls /proc/$$/fd > '" << dir_ << "/fds'\n"
               << "echo $$ $(cut -d' ' -f5 /proc/$$/stat) $(readlink /proc/$$/fd/1 /proc/$$/fd/2) > '" << dir_
               << "/apart'\n";
        script.close();
        chmod(program_.c_str(), 0755);
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

    std::string read(const std::string& name) {
        std::ifstream in(dir_ + "/" + name, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string dir_, program_;
};

TEST_F(StandIn, TheChildReadsExactlyTheTextsBytes) {
    for (std::string text : {std::string(""), std::string("  blanks  at both ends "),
                             std::string("p\xc3\xa4ss\xff\x01word"), std::string(100000, 'x')}) {
        EXPECT_EQ(pipe_to_program(program_.c_str(), text.c_str()), 0);
        EXPECT_EQ(read("stdin"), text) << "length " << text.size();
    }
}

TEST_F(StandIn, ThePathIsTheOnlyArgumentWord) {
    ASSERT_EQ(pipe_to_program(program_.c_str(), "secret"), 0);
    EXPECT_EQ(read("args"), program_ + " 0\n");
}

// A group of its own (Ctrl-Z to this program must not stop it), and
// nothing written on the terminal.
TEST_F(StandIn, TheChildRunsInAGroupOfItsOwnWithoutTheTerminal) {
    ASSERT_EQ(pipe_to_program(program_.c_str(), "secret"), 0);
    std::istringstream apart(read("apart"));
    std::string pid, group, out, err;
    apart >> pid >> group >> out >> err;
    EXPECT_EQ(group, pid);
    EXPECT_EQ(out + " " + err, "/dev/null /dev/null");
}

TEST_F(StandIn, TheChildInheritsNoStrayDescriptors) {
    // A descriptor the program holds open must not reach the child.
    int stray = fcntl(1, F_DUPFD, 50);
    ASSERT_GE(stray, 50);
    ASSERT_EQ(pipe_to_program(program_.c_str(), "secret"), 0);
    close(stray);
    std::istringstream fds(read("fds"));
    std::string fd;
    while (fds >> fd) EXPECT_NE(std::stoi(fd), stray);
}

// The program cannot be run: the child ends with status 127, as a shell's
// does, and the parent's write meets a closed pipe, which must not end this
// process.
TEST_F(StandIn, AProgramThatCannotBeExecutedGives127AndTheCallerGoesOn) {
    std::string big(1 << 20, 's');
    EXPECT_EQ(pipe_to_program("/nonexistent/xclip", big.c_str()), 127);
    EXPECT_EQ(pipe_to_program("/nonexistent/xclip", "short"), 127);
    EXPECT_EQ(pipe_to_program(dir_.c_str(), "short"), 127) << "a directory";
    chmod(program_.c_str(), 0644);
    EXPECT_EQ(pipe_to_program(program_.c_str(), "short"), 127) << "a file without execute permission";
}

// The result is the program's end as a shell reports it: 0 only for a
// program that ended with status 0.
TEST_F(StandIn, TheResultIsTheProgramsEnd) {
    struct {
        const char* body;
        int result;
    } cases[] = {
        {"cat >/dev/null; exit 0", 0},
        {"exit 0", 0},  // ends before reading: the write meets a closed pipe
        {"cat >/dev/null; exit 1", 1},
        {"echo \"Error: Can't open display: (null)\" >&2; exit 1", 1},
        {"exit 3", 3},
        {"kill -TERM $$", 128 + 15},
        {"kill -KILL $$", 128 + 9},
    };
    for (const auto& c : cases) {
        std::ofstream script(program_, std::ios::trunc);
        script << "#!/bin/sh\n" << c.body << "\n";
        script.close();
        EXPECT_EQ(pipe_to_program(program_.c_str(), std::string(100000, 'p').c_str()), c.result) << c.body;
    }
}

// A program that reads nothing and does not end (xclip on a stopped X
// server) is ended at the time limit, with the child it forked, even with
// a text the pipe cannot hold.
TEST_F(StandIn, ARunPastItsTimeLimitIsKilledWithItsGroup) {
    std::ofstream(program_, std::ios::trunc) << "#!/bin/sh\nsleep 30 &\necho $! > '" << dir_ << "/child'\nexec sleep 5\n";
    for (size_t size : {size_t{0}, size_t{300000}}) {
        std::remove((dir_ + "/child").c_str());
        EXPECT_EQ(pipe_to_program_within(program_.c_str(), std::string(size, 'p').c_str(), {}, 600), 128 + 9);
        std::string child = read("child");
        if (child.empty()) continue;  // a machine so busy that the script was killed before its fork
        // SIGKILL was sent to it; it dies once it is scheduled.
        std::string state = "?";
        for (int tries = 0; tries < 200 && !(state.empty() || state == "Z"); ++tries, usleep(10000)) {
            std::ifstream stat("/proc/" + child.substr(0, child.find('\n')) + "/stat");
            std::string pid, name;
            state.clear();
            stat >> pid >> name >> state;
        }
        EXPECT_TRUE(state.empty() || state == "Z") << "the group's other process lives on: " << state;
    }
}

// "x" runs the program once for each selection it fills, PRIMARY by the
// plain call; a failed run (here, the one with arguments) fails the copy.
TEST_F(StandIn, EverySelectionGetsARunOfItsOwn) {
    std::ofstream(program_, std::ios::trunc) << "#!/bin/sh\ncat >/dev/null\necho \"[$*]\" >> '" << dir_
                                             << "/runs'\nexit $#\n";
    clipboard_program = program_.c_str();
    const struct { copy_settings settings; const char* runs; int result; } cases[] = {
        {{true, false, 0}, "[]\n", 0},
        {{false, true, 0}, "[-selection clipboard]\n", 2},
        {{true, true, 0}, "[]\n[-selection clipboard]\n", 2},
    };
    for (const auto& c : cases) {
        std::remove((dir_ + "/runs").c_str());
        int newest_wait = -1;
        EXPECT_EQ(copy_to_selections(c.settings, &newest_wait, "pw"), c.result);
        EXPECT_EQ(read("runs"), c.runs);
    }
}

TEST(PipeToProgram, NoDescriptorIsLeftOpen) {
    auto count = [] {
        int n = 0;
        DIR* dir = opendir("/proc/self/fd");
        while (readdir(dir)) ++n;
        closedir(dir);
        return n;
    };
    int before = count();
    for (int i = 0; i < 20; ++i) pipe_to_program("/bin/true", "x");
    for (int i = 0; i < 20; ++i) pipe_to_program("/nonexistent/xclip", "x");
    EXPECT_EQ(count(), before);
}

}  // namespace
