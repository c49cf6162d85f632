// A private folder for a test's files under the system's temporary folder,
// removed with all it holds when the object goes (its permissions given back
// first, for the tests that take them away).
#pragma once

#include <string>

#include "base/wide_text.h"

namespace plu::testing {

class TempDir {
public:
    // The folder is named "<prefix>-XXXXXX"; a failure to make it aborts.
    explicit TempDir(const std::string& prefix = "plu-test");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    std::string operator/(const std::string& name) const { return File(name); }
    WideString WideFile(const std::string& name) const { return Utf8ToWide(File(name)); }

private:
    std::string path_;
};

}  // namespace plu::testing
