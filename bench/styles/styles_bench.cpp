// The style pool and the number formatter under load.
//
// Acquiring N distinct records shows the pool's look-up cost as the pool
// grows: with the hash table the time per record stays flat (linear in N);
// the peer is a pool that walks a list comparing the 16-bit hash first, as
// a list-based pool does, which grows quadratically.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "base/regional_settings.h"
#include "grid/grid_style.h"
#include "grid/number_format.h"
#include "grid/resource_manager.h"

namespace plu {
namespace {

TKtStyleRecord DistinctRecord(int i) {
    TKtStyleRecord r;
    r.BgColor = 0x010000 + i;
    r.UsedAttributes = kUsedBackground;
    return r;
}

void BM_AcquireDistinctRecords(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<TKtStyleRecord> records;
    for (int i = 0; i < n; ++i) records.push_back(DistinctRecord(i));
    TKtResourceManager& pool = ResourceManager();
    std::vector<TKtStyleNode*> nodes(static_cast<size_t>(n));
    for (auto _ : state) {
        for (int i = 0; i < n; ++i) nodes[static_cast<size_t>(i)] = pool.Acquire(records[static_cast<size_t>(i)]);
        state.PauseTiming();
        for (TKtStyleNode* node : nodes) pool.Release(node);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.SetComplexityN(n);
}
BENCHMARK(BM_AcquireDistinctRecords)
    ->Arg(12500)->Arg(25000)->Arg(50000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The peer: nodes in a singly linked list, new ones at the head, found by a
// walk that compares the 16-bit hash and then the record.
struct ListNode {
    ListNode* next = nullptr;
    int32_t refCount = 0;
    uint16_t hash = 0;
    TKtStyleRecord record;
};

void BM_AcquireDistinctRecordsLinearList(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<TKtStyleRecord> records;
    for (int i = 0; i < n; ++i) records.push_back(DistinctRecord(i));
    for (auto _ : state) {
        ListNode* head = nullptr;
        for (int i = 0; i < n; ++i) {
            const TKtStyleRecord& r = records[static_cast<size_t>(i)];
            const uint16_t h = r.Hash();
            ListNode* found = nullptr;
            for (ListNode* p = head; p; p = p->next)
                if (p->hash == h && p->record == r) {
                    found = p;
                    break;
                }
            if (!found) {
                found = new ListNode{head, 0, h, r};
                head = found;
            }
            ++found->refCount;
        }
        state.PauseTiming();
        while (head) {
            ListNode* next = head->next;
            delete head;
            head = next;
        }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.SetComplexityN(n);
}
BENCHMARK(BM_AcquireDistinctRecordsLinearList)
    ->Arg(12500)->Arg(25000)->Arg(50000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Complexity(benchmark::oNSquared);

void FormatMillion(benchmark::State& state, const char16_t* format) {
    ScopedRegionalSettings regional(RegionalSettings::Defaults());
    TKtGridStyle style;
    style.SetFormatString(format);
    constexpr int kCount = 1000000;
    size_t chars = 0;
    for (auto _ : state) {
        for (int i = 0; i < kCount; ++i) {
            TColor color = clNone;
            WideString text = FormatStyleNumber(style, i * 1.37 - 250000.5, color);
            chars += text.size();
        }
    }
    benchmark::DoNotOptimize(chars);
    state.SetItemsProcessed(state.iterations() * kCount);
}

void BM_FormatMillionThousandsTwoPlaces(benchmark::State& state) { FormatMillion(state, u"#,##0.00"); }
BENCHMARK(BM_FormatMillionThousandsTwoPlaces)->Unit(benchmark::kMillisecond);

void BM_FormatMillionTwoPlaces(benchmark::State& state) { FormatMillion(state, u".00"); }
BENCHMARK(BM_FormatMillionTwoPlaces)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plu

BENCHMARK_MAIN();
