#include "formats/biff8/record_pool.h"

#include <cstdint>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define PLU_RECORD_POOL_OFF 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PLU_RECORD_POOL_OFF 1
#endif
#endif

namespace plu::record_pool {

#ifdef PLU_RECORD_POOL_OFF

void* Allocate(std::size_t size) { return ::operator new(size); }
void Release(void* p, std::size_t) noexcept { ::operator delete(p); }

#else

namespace {

constexpr std::size_t kGrain = 16;
constexpr std::size_t kClasses = kMaxPooled / kGrain;
constexpr std::size_t kChunk = 256 * 1024;
// Chunks kept when the pool empties: enough for a small workbook's records.
constexpr std::size_t kKeptChunks = 8;

struct ThreadPool;

// A chunk starts with its header; blocks follow. Chunks are aligned to their
// size, so a block finds its chunk (and the pool that owns it) by masking.
struct Chunk {
    ThreadPool* owner;
    Chunk* next;
};
constexpr std::size_t kHeader = (sizeof(Chunk) + kGrain - 1) / kGrain * kGrain;

struct FreeBlock {
    FreeBlock* next;
};

// Trivially destructible, so the thread-local needs no guard. Chunks go
// back to the heap (all but a few) only when every block is free again.
struct ThreadPool {
    FreeBlock* free[kClasses];
    Chunk* first;
    Chunk* last;
    Chunk* current;
    char* cursor;
    char* end;
    std::size_t live;

    void Enter(Chunk* c) {
        current = c;
        cursor = reinterpret_cast<char*>(c) + kHeader;
        end = reinterpret_cast<char*>(c) + kChunk;
    }

    void* Take(std::size_t cls) {
        const std::size_t bytes = (cls + 1) * kGrain;
        ++live;
        for (;;) {
            if (current && static_cast<std::size_t>(end - cursor) >= bytes) {
                void* p = cursor;
                cursor += bytes;
                return p;
            }
            // Bump through the chunks already held before reusing single
            // blocks: walking a free list chases one cache miss per block.
            if (current && current->next) {
                Enter(current->next);
                continue;
            }
            if (FreeBlock* b = free[cls]) {
                free[cls] = b->next;
                return b;
            }
            auto* c = static_cast<Chunk*>(::operator new(kChunk, std::align_val_t(kChunk)));
            c->owner = this;
            c->next = nullptr;
            if (last) {
                last->next = c;
            } else {
                first = c;
            }
            last = c;
            Enter(c);
        }
    }

    void Give(void* p, std::size_t cls) {
        auto* b = static_cast<FreeBlock*>(p);
        b->next = free[cls];
        free[cls] = b;
        if (--live == 0) {
            // Every block is free again (a workbook was released whole):
            // start over at the first chunk, in address order. The chunks
            // beyond a few go back to the heap: a large workbook, once
            // closed, must not keep its record memory for the rest of the
            // program's life.
            for (auto& f : free) f = nullptr;
            Chunk* keep = first;
            for (std::size_t i = 1; i < kKeptChunks && keep->next; ++i) keep = keep->next;
            for (Chunk* c = keep->next; c;) {
                Chunk* next = c->next;
                ::operator delete(c, std::align_val_t(kChunk));
                c = next;
            }
            keep->next = nullptr;
            last = keep;
            Enter(first);
        }
    }
};

thread_local ThreadPool pool;

}  // namespace

void* Allocate(std::size_t size) {
    if (size == 0 || size > kMaxPooled) return ::operator new(size == 0 ? 1 : size);
    return pool.Take((size - 1) / kGrain);
}

void Release(void* p, std::size_t size) noexcept {
    if (!p) return;
    if (size == 0 || size > kMaxPooled) {
        ::operator delete(p);
        return;
    }
    auto* chunk = reinterpret_cast<Chunk*>(reinterpret_cast<std::uintptr_t>(p) & ~(kChunk - 1));
    // A block released by a thread that does not own it is left alone: its
    // owner keeps counting it as live, which is safe, only less thrifty.
    if (chunk->owner != &pool) return;
    pool.Give(p, (size - 1) / kGrain);
}

#endif

}  // namespace plu::record_pool
