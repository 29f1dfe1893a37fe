#include <sys/random.h>

#include <cerrno>
#include <stdexcept>

#include "kpass/writer/kdb_writer.h"

void kdb_random_bytes(uint8_t* out, size_t size) {
    while (size > 0) {
        ssize_t got = getrandom(out, size, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error("getrandom failed");
        }
        out += got;
        size -= static_cast<size_t>(got);
    }
}
