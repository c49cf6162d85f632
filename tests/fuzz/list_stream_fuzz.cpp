// Sparse-list streams read from outside bytes: every list kind must either
// load or raise EReadError/ERangeError, never read out of bounds, and a list
// that loaded must write a stream that loads back to the same items.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "grid/sparse_list.h"
#include "grid/text_matrix.h"

namespace {

using namespace plu;

template <typename List, typename Same>
void RoundTrip(const uint8_t* data, size_t size, Same same) {
    List list;
    TMemoryStream in(std::vector<uint8_t>(data, data + size));
    try {
        list.LoadFromStream(in);
    } catch (const EReadError&) {
        return;
    } catch (const ERangeError&) {
        return;
    }
    TMemoryStream out;
    list.SaveToStream(out);
    List back;
    TMemoryStream again(out.Bytes());
    back.LoadFromStream(again);
    if (!same(list, back)) std::abort();
}

bool SameItems(const TKtSparseList& a, const TKtSparseList& b) {
    if (a.HighBound() != b.HighBound() || a.Count() != b.Count()) return false;
    for (int i = 0; i <= a.HighBound(); ++i)
        if (a.Get(i) != b.Get(i)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t kind = data[0] % 3;
    ++data;
    --size;
    switch (kind) {
        case 0:
            RoundTrip<TIntegerSList>(
                data, size,
                [](const TIntegerSList& a, const TIntegerSList& b) { return SameItems(a, b); });
            break;
        case 1:
            RoundTrip<TStringSList>(data, size, [](const TStringSList& a, const TStringSList& b) {
                if (a.HighBound() != b.HighBound()) return false;
                for (int i = 0; i <= a.HighBound(); ++i)
                    if (a.Get(i) != b.Get(i)) return false;
                return true;
            });
            break;
        default:
            RoundTrip<TKwSheet>(data, size, [](const TKwSheet& a, const TKwSheet& b) {
                // Rows without texts are not written: they read back as missing.
                for (int r = 0; r <= std::max(a.HighBound(), b.HighBound()); ++r) {
                    const TStringSList* x = a.Get(r);
                    const TStringSList* y = b.Get(r);
                    const int hx = x ? x->HighBound() : -1;
                    const int hy = y ? y->HighBound() : -1;
                    if (hx != hy) return false;
                    for (int c = 0; c <= hx; ++c)
                        if (x->Get(c) != y->Get(c)) return false;
                }
                return true;
            });
            break;
    }
    return 0;
}
