// Handing a descriptor to another process over a Unix socket (SCM_RIGHTS).
#pragma once

#include "clipboard/deadline.h"

// Sends fd over socket, with one byte of data to carry it. False when it
// was not sent (a closed peer gives EPIPE, never SIGPIPE).
bool send_descriptor(int socket, int fd);

// Receives the one descriptor sent over socket, waiting at most until the
// deadline; it is close-on-exec. -1 on end of file, a failure, the
// deadline, or a message that does not carry exactly one descriptor.
int receive_descriptor(int socket, const deadline& limit);
