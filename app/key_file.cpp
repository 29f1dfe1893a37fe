#include "app/key_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "kpass/kpass.h"

namespace {

constexpr size_t piece_size = 65536;

// Feeds the rest of the file to the key; null, or the reason a read failed.
const char* read_pieces(int fd, kpass_file_key* state, secure_vector<uint8_t>& piece) {
    for (;;) {
        ssize_t n = read(fd, piece.data(), piece.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::strerror(errno);
        if (n == 0) return nullptr;
        kpass_file_key_add(state, piece.data(), static_cast<size_t>(n));
    }
}

}  // namespace

const char* read_key_file(const char* path, uint8_t* file_key) {
    // The piece is wiped when it is released.
    secure_vector<uint8_t> piece(piece_size);
    kpass_file_key* state = kpass_file_key_begin();
    if (state == nullptr) throw std::bad_alloc();
    const char* reason = nullptr;
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0)
        reason = std::strerror(errno);
    else if (!S_ISREG(st.st_mode))
        reason = "not a regular file";
    else
        reason = read_pieces(fd, state, piece);
    if (fd >= 0) close(fd);
    int made = kpass_file_key_end(state, reason == nullptr ? file_key : nullptr);
    if (reason == nullptr && made != kpass_success) reason = "empty";
    return reason;
}

void load_key_file(const char* path, secure_vector<uint8_t>& file_key) {
    if (path == nullptr) return;
    const char* reason = nullptr;
    try {
        file_key.resize(kpass_key_size);
        reason = read_key_file(path, file_key.data());
    } catch (const std::bad_alloc&) {
        reason = "out of memory";
    }
    if (reason == nullptr) return;
    std::fprintf(stderr, "kdbrowse: key file '%s': %s\n", path, reason);
    std::exit(1);
}
