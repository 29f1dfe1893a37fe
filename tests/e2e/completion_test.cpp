// The bash completion, called as bash calls it, in a folder that holds a
// database, a text file and a folder.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "e2e/child_process.h"
#include "e2e/test_files.h"

namespace {

TEST(completion, offers_options_databases_and_key_files) {
    temp_dir dir;
    write_file(dir, "a.kdb", "");
    write_file(dir, "b.txt", "");
    ASSERT_EQ(mkdir((dir.path + "/sub").c_str(), 0700), 0);
    const std::string script =
        "source \"$1\"; cd \"$2\"; shift 2; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); _kdbrowse;"
        "printf '%s\\n' \"${COMPREPLY[@]}\" | sort";
    struct completion_case {
        std::vector<std::string> words;  // the last one is being completed
        std::string replies;
    };
    const completion_case cases[] = {
        {{"kdbrowse", ""}, "a.kdb\nsub\n"},
        {{"kdbrowse", "--k"}, "--key-file\n"},
        {{"kdbrowse", "-"}, "--\n--help\n--key-file\n--version\n-V\n-h\n-k\n"},
        {{"kdbrowse", "-k", ""}, "a.kdb\nb.txt\nsub\n"},
        {{"kdbrowse", "--key-file", "=", "b"}, "b.txt\n"},
        {{"kdbrowse", "-k", "b.txt", "--", "-"}, "\n"},
    };
    for (const completion_case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.words));
        std::vector<std::string> argv = {"bash", "--norc", "--noprofile", "-c", script, "bash",
                                         KDBROWSE_SOURCE_DIR "/completions/kdbrowse", dir.path};
        argv.insert(argv.end(), c.words.begin(), c.words.end());
        command_result result = run_command(argv, {"LC_ALL=C"});
        EXPECT_EQ(result.status, 0) << result.errors;
        EXPECT_EQ(result.output, c.replies);
    }
}

}  // namespace
