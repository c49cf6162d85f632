#include "support/temp_dir.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace plu::testing {

TempDir::TempDir(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
}

}  // namespace plu::testing
