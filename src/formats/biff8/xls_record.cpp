#include "formats/biff8/xls_record.h"

#include <algorithm>
#include <cstring>

#include "formats/biff8/xls_errors.h"
#include "formats/biff8/xls_writer.h"

namespace plu {

TXlsRecord::~TXlsRecord() {
    // A long CONTINUE chain is freed iteratively: each link would otherwise
    // free the next one recursively, and a hostile file can hold thousands.
    std::unique_ptr<TContinueRecord> next = std::move(continuation_);
    while (next) {
        std::unique_ptr<TContinueRecord> after = std::move(next->continuation_);
        next.reset();
        next = std::move(after);
    }
}

void TXlsRecord::Allocate(int32_t size) {
    if (size <= kInlineBody) {
        heap_.reset();
        data_ = inline_;
        std::memset(inline_, 0, sizeof inline_);
    } else {
        heap_.reset(new uint8_t[static_cast<size_t>(size)]());
        data_ = heap_.get();
        capacity_ = size;
    }
}

void TXlsRecord::Create(uint16_t id, int32_t size) {
    id_ = id;
    size_ = size > 0 ? size : 0;
    Allocate(size_);
}

void TXlsRecord::WriteTo(TXlsWriter& writer) const {
    writer.WriteRecord(*this);
}

bool TXlsRecord::SameBody(const TXlsRecord& other) const {
    if (other.size_ < size_) return false;
    return size_ == 0 || std::memcmp(data_, other.data_, static_cast<size_t>(size_)) == 0;
}

const uint8_t* TXlsRecord::At(int offset, int count) const {
    if (!Holds(offset, count)) RaiseReadError();
    return data_ + offset;
}

uint8_t* TXlsRecord::MutAt(int offset, int count) {
    if (!Holds(offset, count)) RaiseReadError();
    return data_ + offset;
}

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
    const int32_t capacity = data_ == inline_ ? kInlineBody : capacity_;
    if (newSize <= capacity) {
        if (newSize > size_) std::memset(data_ + size_, 0, static_cast<size_t>(newSize - size_));
        size_ = newSize;
        return;
    }
    // Grow geometrically: lists of ranges grow one entry at a time.
    const int32_t grown = std::max<int32_t>(newSize, capacity * 2);
    std::unique_ptr<uint8_t[]> bigger(new uint8_t[static_cast<size_t>(grown)]());
    if (size_ > 0) std::memcpy(bigger.get(), data_, static_cast<size_t>(size_));
    heap_ = std::move(bigger);
    data_ = heap_.get();
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
