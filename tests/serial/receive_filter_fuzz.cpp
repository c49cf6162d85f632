// Fuzz target for the decoding of received bytes. Byte 0 picks the settings,
// byte 1 the replacement, byte 2 where reads are cut; the rest is the line.
// Besides memory safety it checks two properties: output never grows beyond
// the input (plus one FF held back at a cut), and unmarked input only loses
// its zero bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "serial/receive_filter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    plu::TReceiveFilterSettings s;
    s.Marked = data[0] & 1;
    s.ReplaceErrors = data[0] & 2;
    s.IgnoreNull = data[0] & 4;
    s.Replacement = data[1];
    const size_t step = data[2] == 0 ? 1 : data[2];
    data += 3;
    size -= 3;

    plu::TReceiveFilter filter;
    std::vector<uint8_t> out;
    uint32_t errors = 0;
    for (size_t at = 0; at < size; at += step) {
        const size_t n = size - at < step ? size - at : step;
        const size_t before = out.size();
        filter.Filter(s, data + at, n, out, errors);
        if (out.size() - before > n + 1) std::abort();
    }
    if (out.size() > size) std::abort();
    if (!s.Marked) {
        std::vector<uint8_t> expected;
        for (size_t i = 0; i < size; ++i) {
            if (data[i] != 0 || !s.IgnoreNull) expected.push_back(data[i]);
        }
        if (out != expected || errors != 0) std::abort();
    }
    return 0;
}
