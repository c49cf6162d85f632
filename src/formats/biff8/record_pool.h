// Memory for record objects and their bodies. A workbook holds hundreds of
// thousands of small records that are created while a stream is read and
// freed together with the workbook; taking them from per-thread free lists
// of fixed size classes instead of the general heap makes each allocation
// and release a few instructions. Blocks above kMaxPooled bytes come from
// the heap. Memory of freed blocks is kept for the next workbook: when all
// blocks of a thread are free again, allocation restarts at its first chunk.
//
// Sanitizer builds use the heap for everything, so that use-after-free and
// overflow checks keep seeing every record.
#pragma once

#include <cstddef>

namespace plu::record_pool {

inline constexpr std::size_t kMaxPooled = 256;

void* Allocate(std::size_t size);
void Release(void* p, std::size_t size) noexcept;

}  // namespace plu::record_pool
