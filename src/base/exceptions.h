// The exception hierarchy of the whole program. Failures the user sees carry
// exactly the program's message text; Message() gives it as wide text, what() as UTF-8.
#pragma once

#include <stdexcept>
#include <string>

#include "base/wide_text.h"

namespace plu {

class Exception : public std::runtime_error {
public:
    explicit Exception(WideStringView message)
        : std::runtime_error(WideToUtf8(message)), message_(message) {}
    explicit Exception(const std::string& utf8)
        : std::runtime_error(utf8), message_(Utf8ToWide(utf8)) {}
    explicit Exception(const char* utf8) : Exception(std::string(utf8)) {}

    const WideString& Message() const noexcept { return message_; }

private:
    WideString message_;
};

// A text that is no number, date or boolean (the runtime's conversion error).
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// An index outside a list.
class ERangeError : public Exception {
public:
    using Exception::Exception;
};

}  // namespace plu
