// One BIFF8 record: a 16-bit id and a body of up to 65,535 bytes (the format
// allows 8,224 in a written record; longer bodies continue in CONTINUE
// records). Integers in bodies are little-endian.
//
// Bodies of up to kInlineBody bytes live inside the record object, so the
// cell records that make up most of a workbook (NUMBER, RK, LABELSST, BLANK,
// BOOLERR) cost one allocation of 48 bytes each: a workbook of 650,000 cells
// holds that many records, and their memory is most of what reading costs.
// Every accessor checks its offset: reading or writing outside the body
// raises message 65226 instead of touching other memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace plu {

class TXlsWriter;
class TContinueRecord;

// Format limits.
inline constexpr int kMaxRecordBody = 8224;    // body bytes of one written record
inline constexpr int kMaxRows = 65536;         // rows of a BIFF8 sheet
inline constexpr int kMaxColumns = 256;        // columns of a BIFF8 sheet
inline constexpr int kMaxSheetNameLength = 31; // characters of a sheet name
inline constexpr int kMaxFormatLength = 255;   // characters of a format string

// Record ids.
namespace rid {
inline constexpr uint16_t INTEGER = 0x0002;
inline constexpr uint16_t FORMULA = 0x0006;
inline constexpr uint16_t EOF_ = 0x000A;
inline constexpr uint16_t CALCCOUNT = 0x000C;
inline constexpr uint16_t CALCMODE = 0x000D;
inline constexpr uint16_t REFMODE = 0x000F;
inline constexpr uint16_t DELTA = 0x0010;
inline constexpr uint16_t ITERATION = 0x0011;
inline constexpr uint16_t PROTECT = 0x0012;
inline constexpr uint16_t EXTERNSHEET = 0x0017;
inline constexpr uint16_t DATEMODE = 0x0022;
inline constexpr uint16_t FILEPASS = 0x002F;
inline constexpr uint16_t SELECTION = 0x001D;
inline constexpr uint16_t PRINTHEADERS = 0x002A;
inline constexpr uint16_t PRINTGRIDLINES = 0x002B;
inline constexpr uint16_t FONT = 0x0031;
inline constexpr uint16_t CONTINUE = 0x003C;
inline constexpr uint16_t WINDOW1 = 0x003D;
inline constexpr uint16_t PANE = 0x0041;
inline constexpr uint16_t DEFCOLWIDTH = 0x0055;
inline constexpr uint16_t SAVERECALC = 0x005F;
inline constexpr uint16_t COLINFO = 0x007D;
inline constexpr uint16_t GUTS = 0x0080;
inline constexpr uint16_t WSBOOL = 0x0081;
inline constexpr uint16_t GRIDSET = 0x0082;
inline constexpr uint16_t BOUNDSHEET = 0x0085;
inline constexpr uint16_t SUPBOOK = 0x01AE;
inline constexpr uint16_t ARRAY = 0x0221;
inline constexpr uint16_t PALETTE = 0x0092;
inline constexpr uint16_t STANDARDWIDTH = 0x0099;
inline constexpr uint16_t MULRK = 0x00BD;
inline constexpr uint16_t MULBLANK = 0x00BE;
inline constexpr uint16_t MMS = 0x00C1;
inline constexpr uint16_t DBCELL = 0x00D7;
inline constexpr uint16_t XF = 0x00E0;
inline constexpr uint16_t INTERFACEHDR = 0x00E1;
inline constexpr uint16_t INTERFACEEND = 0x00E2;
inline constexpr uint16_t MERGEDCELLS = 0x00E5;
inline constexpr uint16_t PHONETIC = 0x00EF;
inline constexpr uint16_t SST = 0x00FC;
inline constexpr uint16_t LABELSST = 0x00FD;
inline constexpr uint16_t EXTSST = 0x00FF;
inline constexpr uint16_t DIMENSIONS = 0x0200;
inline constexpr uint16_t BLANK = 0x0201;
inline constexpr uint16_t NUMBER = 0x0203;
inline constexpr uint16_t LABEL = 0x0204;
inline constexpr uint16_t BOOLERR = 0x0205;
inline constexpr uint16_t STRING = 0x0207;
inline constexpr uint16_t ROW = 0x0208;
inline constexpr uint16_t INDEX = 0x020B;
inline constexpr uint16_t DEFAULTROWHEIGHT = 0x0225;
inline constexpr uint16_t TABLE = 0x0236;
inline constexpr uint16_t WINDOW2 = 0x023E;
inline constexpr uint16_t RK = 0x027E;
inline constexpr uint16_t STYLE = 0x0293;
inline constexpr uint16_t FORMAT = 0x041E;
inline constexpr uint16_t SHRFMLA = 0x04BC;
inline constexpr uint16_t BOF = 0x0809;
}  // namespace rid

// Little-endian reads and writes on raw bytes. No state; the record accessors
// go through it after checking their bounds.
struct TVxBuffer {
    static uint16_t GetWord(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
    static uint32_t GetLong(const uint8_t* p) {
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }
    static void SetWord(uint8_t* p, uint16_t v) {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
    }
    static void SetLong(uint8_t* p, uint32_t v) {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
        p[3] = static_cast<uint8_t>(v >> 24);
    }
};

class TXlsRecord {
public:
    static constexpr int kInlineBody = 14;

    TXlsRecord() = default;
    TXlsRecord(uint16_t id, int32_t size) { TXlsRecord::Create(id, size); }
    virtual ~TXlsRecord();
    TXlsRecord(const TXlsRecord&) = delete;
    TXlsRecord& operator=(const TXlsRecord&) = delete;

    // Records and their bodies live in the record pool (record_pool.h).
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size) noexcept;

    // Runs once after the body was filled from a stream.
    virtual void AfterRead() {}
    // Sets id and size and allocates a zeroed body of that many bytes (none
    // when size <= 0). May be called again to re-initialise the record.
    virtual void Create(uint16_t id, int32_t size);
    // Header (id, size as u16) and body; then the continuation chain, if any.
    virtual void WriteTo(TXlsWriter& writer) const;
    // True when other's body equals this body over this record's size.
    virtual bool SameBody(const TXlsRecord& other) const;

    uint16_t Id() const { return id_; }
    int32_t Size() const { return size_; }
    std::span<const uint8_t> Body() const { return {data_, static_cast<size_t>(size_)}; }
    std::span<uint8_t> MutableBody() { return {data_, static_cast<size_t>(size_)}; }

    // Field access at a byte offset of the body; outside the body: 65226.
    uint8_t GetByte(int offset) const { return *At(offset, 1); }
    uint16_t GetWord(int offset) const { return TVxBuffer::GetWord(At(offset, 2)); }
    uint32_t GetLong(int offset) const { return TVxBuffer::GetLong(At(offset, 4)); }
    double GetDouble(int offset) const;
    void SetByte(int offset, uint8_t v) { *MutAt(offset, 1) = v; }
    void SetWord(int offset, uint16_t v) { TVxBuffer::SetWord(MutAt(offset, 2), v); }
    void SetLong(int offset, uint32_t v) { TVxBuffer::SetLong(MutAt(offset, 4), v); }
    void SetDouble(int offset, double v);
    void GetBytes(int offset, std::span<uint8_t> out) const;
    void SetBytes(int offset, std::span<const uint8_t> bytes);
    // True when [offset, offset + count) lies inside the body.
    bool Holds(int offset, int count) const {
        return offset >= 0 && count >= 0 && offset <= size_ && count <= size_ - offset;
    }

    // Re-allocates the body to newSize bytes, keeping the content (new bytes zero).
    void Resize(int32_t newSize);

    // The CONTINUE record that followed this one; fails with 65228 when one
    // is already attached.
    void AttachContinue(std::unique_ptr<TContinueRecord> record);
    TContinueRecord* Continuation() const { return continuation_.get(); }

protected:
    const uint8_t* At(int offset, int count) const {
        if (!Holds(offset, count)) FailOutside();
        return data_ + offset;
    }
    uint8_t* MutAt(int offset, int count) {
        if (!Holds(offset, count)) FailOutside();
        return data_ + offset;
    }
    [[noreturn]] static void FailOutside();
    // Sets id and size and copies the body in (no zeroing first).
    void Fill(uint16_t id, const uint8_t* body, int32_t size);

private:
    void Allocate(int32_t size);
    void FreeHeap();

    bool OnHeap() const { return data_ != inline_; }

    // Ordered so that the object has no padding (48 bytes with its vtable).
    uint8_t* data_ = inline_;  // inline_, or a pooled block of capacity_ bytes
    std::unique_ptr<TContinueRecord> continuation_;
    int32_t size_ = 0;
    int32_t capacity_ = 0;  // of a heap body
    uint16_t id_ = 0;
    uint8_t inline_[kInlineBody] = {};
};

class TContinueRecord : public TXlsRecord {
public:
    using TXlsRecord::TXlsRecord;
};

// Plain records the writer emits with a given body.
std::unique_ptr<TXlsRecord> MakeRecord(uint16_t id, std::span<const uint8_t> body);

}  // namespace plu
