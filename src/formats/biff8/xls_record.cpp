#include "formats/biff8/xls_record.h"

#include <algorithm>
#include <cstring>

#include "formats/biff8/record_pool.h"
#include "formats/biff8/xls_errors.h"
#include "formats/biff8/xls_writer.h"

namespace plu {

void* TXlsRecord::operator new(std::size_t size) { return record_pool::Allocate(size); }

void TXlsRecord::operator delete(void* p, std::size_t size) noexcept { record_pool::Release(p, size); }

TXlsRecord::~TXlsRecord() {
    FreeHeap();
    // A long CONTINUE chain is freed iteratively: each link would otherwise
    // free the next one recursively, and a hostile file can hold thousands.
    std::unique_ptr<TContinueRecord> next = std::move(continuation_);
    while (next) {
        std::unique_ptr<TContinueRecord> after = std::move(next->continuation_);
        next.reset();
        next = std::move(after);
    }
}

void TXlsRecord::FreeHeap() {
    if (OnHeap()) record_pool::Release(data_, static_cast<size_t>(capacity_));
    data_ = inline_;
    capacity_ = 0;
}

void TXlsRecord::Allocate(int32_t size) {
    FreeHeap();
    if (size <= kInlineBody) {
        data_ = inline_;
        std::memset(inline_, 0, sizeof inline_);
    } else {
        data_ = static_cast<uint8_t*>(record_pool::Allocate(static_cast<size_t>(size)));
        std::memset(data_, 0, static_cast<size_t>(size));
        capacity_ = size;
    }
}

void TXlsRecord::Create(uint16_t id, int32_t size) {
    id_ = id;
    size_ = size > 0 ? size : 0;
    Allocate(size_);
}

void TXlsRecord::Fill(uint16_t id, const uint8_t* body, int32_t size) {
    FreeHeap();
    id_ = id;
    size_ = size > 0 ? size : 0;
    if (size_ > kInlineBody) {
        data_ = static_cast<uint8_t*>(record_pool::Allocate(static_cast<size_t>(size_)));
        capacity_ = size_;
    }
    if (size_ > 0) std::memcpy(data_, body, static_cast<size_t>(size_));
}

void TXlsRecord::WriteTo(TXlsWriter& writer) const {
    writer.WriteRecord(*this);
}

bool TXlsRecord::SameBody(const TXlsRecord& other) const {
    if (other.size_ < size_) return false;
    return size_ == 0 || std::memcmp(data_, other.data_, static_cast<size_t>(size_)) == 0;
}

void TXlsRecord::FailOutside() { RaiseReadError(); }

double TXlsRecord::GetDouble(int offset) const {
    double v;
    std::memcpy(&v, At(offset, 8), 8);  // IEEE little-endian, as on our platforms
    return v;
}

void TXlsRecord::SetDouble(int offset, double v) { std::memcpy(MutAt(offset, 8), &v, 8); }

void TXlsRecord::GetBytes(int offset, std::span<uint8_t> out) const {
    if (out.empty()) return;
    std::memcpy(out.data(), At(offset, static_cast<int>(out.size())), out.size());
}

void TXlsRecord::SetBytes(int offset, std::span<const uint8_t> bytes) {
    if (bytes.empty()) return;
    std::memcpy(MutAt(offset, static_cast<int>(bytes.size())), bytes.data(), bytes.size());
}

void TXlsRecord::Resize(int32_t newSize) {
    if (newSize < 0) newSize = 0;
    const int32_t capacity = OnHeap() ? capacity_ : kInlineBody;
    if (newSize <= capacity) {
        if (newSize > size_) std::memset(data_ + size_, 0, static_cast<size_t>(newSize - size_));
        size_ = newSize;
        return;
    }
    // Grow geometrically: lists of ranges grow one entry at a time.
    const int32_t grown = std::max<int32_t>(newSize, capacity * 2);
    auto* bigger = static_cast<uint8_t*>(record_pool::Allocate(static_cast<size_t>(grown)));
    std::memset(bigger, 0, static_cast<size_t>(grown));
    if (size_ > 0) std::memcpy(bigger, data_, static_cast<size_t>(size_));
    FreeHeap();
    data_ = bigger;
    capacity_ = grown;
    size_ = newSize;
}

void TXlsRecord::AttachContinue(std::unique_ptr<TContinueRecord> record) {
    if (continuation_) RaiseSecondContinue();
    continuation_ = std::move(record);
}

std::unique_ptr<TXlsRecord> MakeRecord(uint16_t id, std::span<const uint8_t> body) {
    auto r = std::make_unique<TXlsRecord>(id, static_cast<int32_t>(body.size()));
    r->SetBytes(0, body);
    return r;
}

}  // namespace plu

// The cell records' size is what a large workbook's memory is made of.
static_assert(sizeof(void*) != 8 || sizeof(plu::TXlsRecord) == 48);
