#include "db/load.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <curses.h>

#include "db/password_encodings.h"
#include "dialogs/prompts.h"
#include "keys/input.h"
#include "kpass/kpass.h"
#include "kpass/secure_memory.h"
#include "screen/blank_screen.h"

namespace {

constexpr int password_size = 256;

// The file is opened without blocking, so that a FIFO with no writer cannot
// hang the program, and anything but a regular file is refused before it is
// read: a directory, a device or a FIFO is not a database.
int open_regular_file(const char* path, off_t* size) {
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        int error = errno;
        close(fd);
        errno = error;
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        close(fd);
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    // The library takes the length as an int: a larger file cannot be
    // handed over whole, so it is refused rather than cut.
    if (st.st_size > INT_MAX) {
        close(fd);
        errno = EFBIG;
        return -1;
    }
    *size = st.st_size;
    return fd;
}

// Row by row, never with a clear that the terminal could keep in its
// scrollback (screen/blank_screen.h).
void clear_screen() { blank_screen(); }

// Copies of the password and of the keys made from it outlive their use in
// stack memory that is no longer in use: registers spilled by the dynamic
// linker when it binds a symbol at its first call, locals of the form and
// cipher libraries. That memory is overwritten once the password is done
// with.
__attribute__((noinline)) void wipe_unused_stack() {
    char area[65536];
    explicit_bzero(area, sizeof area);
    asm volatile("" : : "r"(area) : "memory");
}

// Asks for passwords until one unlocks db (0) or the user cancels (-1).
// Contents whose key matched but which cannot be read (damaged, or no
// memory for them) give 1: asking again for a password that was right
// would never end. The typed password lives in a secure block only.
int unlock(kpass_db* db, const uint8_t* file_key) {
    secure_vector<char> password(password_size, '\0');
    int result = -1;
    for (bool first = true;; first = false) {
        if (!first) {
            message_box("Password does not match.");
            clear_screen();
        }
        int answer = prompt_password(password.data(), password_size);
        forget_typed_keys();
        if (answer != 0) break;
        int tried = try_password(db, password.data(), file_key);
        kpass_wipe(password.data(), password.size());
        // Keys typed while the key was being made were meant for no
        // dialog: they must neither close the next message unseen nor run
        // as commands once the database is open.
        forget_typed_keys();
        if (tried != kpass_wrong_key) {
            result = tried == 0 ? 0 : 1;
            break;
        }
    }
    wipe_unused_stack();
    return result;
}

// Reads size bytes from fd into bytes: 0, or the error number of the read
// that failed (EIO when the file turned out shorter than its size).
int read_whole_file(int fd, uint8_t* bytes, off_t size) {
    for (off_t got = 0; got < size;) {
        ssize_t n = pread(fd, bytes + got, static_cast<size_t>(size - got), got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        got += n;
    }
    return 0;
}

}  // namespace

// The file is read, not mapped: a file cut short while it is being loaded
// then only reads short, where reading a mapping past the file's new end
// raises SIGBUS and ends the program. A short read is refused (EIO), and so
// is an empty file (EINVAL, as mapping it would be).
int load_database_file(kpass_db* db, const char* path) {
    off_t size = 0;
    int fd = open_regular_file(path, &size);
    if (fd < 0) return errno;
    if (size == 0) {
        close(fd);
        return EINVAL;
    }
    auto* bytes = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size)));
    int error = bytes != nullptr ? read_whole_file(fd, bytes, size) : ENOMEM;
    close(fd);
    int accepted = error == 0 ? kpass_init_db(db, bytes, static_cast<int>(size)) : 0;
    std::free(bytes);
    if (error != 0) return error;
    return accepted == 0 ? 0 : -1;
}

int open_database(kpass_db* db, const char* path, const uint8_t* file_key) {
    clear_screen();
    if (load_database_file(db, path) != 0) {
        message_box("Couldn't read.");
        clear_screen();
        return 1;
    }
    int result = unlock(db, file_key);
    if (result == 1) {
        kpass_free_db(db);
        message_box("Couldn't read.");
    }
    clear_screen();
    return result;
}
