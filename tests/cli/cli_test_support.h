// What the plu-tool tests share: a private folder removed afterwards, and
// whole files written and read as bytes.
#pragma once

#include "support/temp_dir.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace plu::cli::testing {

using plu::testing::TempDir;

inline void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace plu::cli::testing
