// Peak memory of opening a database, measured in a process of its own: a
// fresh run of this program that does nothing else, so that nothing the
// benchmark held before (the file's bytes, the writer's records) counts.
#include <sys/wait.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench/bench.h"
#include "db/load.h"
#include "kpass/kpass.h"
#include "kpass/secure_memory.h"

namespace {

// VmHWM, the process's peak resident set, in bytes; 0 when unknown.
uint64_t peak_rss_bytes() {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return 0;
    char line[256];
    uint64_t kib = 0;
    while (std::fgets(line, sizeof line, status) != nullptr)
        if (std::sscanf(line, "VmHWM: %" SCNu64 " kB", &kib) == 1) break;
    std::fclose(status);
    return kib * 1024;
}

std::string read_all(int fd) {
    std::string text;
    char buffer[256];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
    return text;
}

}  // namespace

// Loads the file as kdbrowse does (mapped, handed to the library, unmapped),
// unlocks it, and prints the peak RSS before and after.
int report_peak_rss(const char* path) {
    uint64_t before = peak_rss_bytes();
    kpass_db db;
    if (load_database_file(&db, path) != 0) return 1;
    uint8_t key[kpass_key_size];
    kpass_hash_pw(bench_password, key);
    int result = kpass_decrypt_db(&db, key);
    kpass_wipe(key, sizeof key);
    uint64_t peak = peak_rss_bytes();
    kpass_free_db(&db);
    if (result != 0) return 1;
    std::printf("%" PRIu64 " %" PRIu64 "\n", before, peak);
    return 0;
}

std::optional<rss_figures> peak_rss_of_opening(const std::string& path) {
    int fds[2];
    if (pipe(fds) != 0) return std::nullopt;
    std::fflush(nullptr);
    pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return std::nullopt;
    }
    if (child == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        execl("/proc/self/exe", "kdbrowse-bench", peak_rss_option, path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string output = read_all(fds[0]);
    close(fds[0]);
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    rss_figures figures{};
    if (std::sscanf(output.c_str(), "%" SCNu64 " %" SCNu64, &figures.before_open, &figures.peak) != 2)
        return std::nullopt;
    return figures;
}
