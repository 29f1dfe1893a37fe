#!/usr/bin/env bash
# Installs what kdbrowse needs to build and to run its tests on a Debian
# machine (only what is missing), then configures and builds it into build/.
# Usage: scripts/setup.sh [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake pkg-config     # compiler and build
  libncurses-dev nettle-dev            # the program's libraries
  googletest libgtest-dev              # unit tests
  tmux xvfb xclip                      # end-to-end tests: a terminal, an X server, the clipboard
  groff-base man-db                    # checking and reading the manual page
)

scripts/install-missing "${packages[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build build -j"$(nproc)"
