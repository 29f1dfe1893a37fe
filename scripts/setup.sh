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

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" = 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build build -j"$(nproc)"
