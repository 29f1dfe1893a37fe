// The real files of other writers beside the project (../shared/peer-kdb),
// for cross-checks. Tests that use them skip with a message where the
// folder is absent, so that the project's own suite stands alone.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline const std::string peer_dir = KDBROWSE_SOURCE_DIR "/../shared/peer-kdb";

// The bytes of peer_dir/name; empty when it cannot be read.
inline std::vector<uint8_t> read_peer(const std::string& name) {
    std::ifstream in(peer_dir + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
