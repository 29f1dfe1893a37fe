#include "clipboard/socket_passing.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Room for the control message of one descriptor, aligned as cmsghdr.
union descriptor_message {
    cmsghdr header;
    char room[CMSG_SPACE(sizeof(int))];
};

// A message of the one data byte in data, its control message in control.
msghdr message_of(iovec& data, descriptor_message& control) {
    msghdr message{};
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control.room;
    message.msg_controllen = sizeof control.room;
    return message;
}

}  // namespace

bool send_descriptor(int socket, int fd) {
    char byte = 0;
    iovec data = {&byte, 1};
    descriptor_message control{};
    msghdr message = message_of(data, control);
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = SOL_SOCKET;
    header->cmsg_type = SCM_RIGHTS;
    header->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(header), &fd, sizeof fd);
    for (;;) {
        ssize_t sent = sendmsg(socket, &message, MSG_NOSIGNAL);
        if (sent == 1) return true;
        if (sent < 0 && errno == EINTR) continue;
        return false;
    }
}

int receive_descriptor(int socket, const deadline& limit) {
    char byte = 0;
    iovec data = {&byte, 1};
    descriptor_message control{};
    msghdr message = message_of(data, control);
    pollfd readable = {socket, POLLIN, 0};
    ssize_t n = -1;
    while (n < 0) {
        if (poll_before(&readable, 1, limit) <= 0) return -1;
        n = recvmsg(socket, &message, MSG_CMSG_CLOEXEC | MSG_DONTWAIT);
        if (n < 0 && errno != EINTR && errno != EAGAIN) return -1;
    }
    // Descriptors past the room are closed by the kernel (MSG_CTRUNC).
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    if (header == nullptr || header->cmsg_level != SOL_SOCKET || header->cmsg_type != SCM_RIGHTS ||
        header->cmsg_len != CMSG_LEN(sizeof(int)))
        return -1;
    int fd = -1;
    std::memcpy(&fd, CMSG_DATA(header), sizeof fd);
    if (n == 1 && (message.msg_flags & MSG_CTRUNC) == 0) return fd;
    close(fd);
    return -1;
}
