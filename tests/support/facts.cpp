#include "support/facts.h"

#include <sstream>

namespace plu::testing {

std::string UnescapeField(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const char n = field[++i];
        out += n == 't' ? '\t' : n == 'n' ? '\n' : n == 'r' ? '\r' : n;
    }
    return out;
}

std::vector<Fact> Facts(const std::string& text) {
    std::vector<Fact> facts;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        Fact f;
        std::string part;
        std::istringstream fields(line);
        while (std::getline(fields, part, '\t')) f.push_back(UnescapeField(part));
        if (!f.empty()) facts.push_back(f);
    }
    return facts;
}

}  // namespace plu::testing
