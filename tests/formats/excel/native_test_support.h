// Helpers of the native stream tests: an independent walk over a stream's
// framing, a grid with formula support, and a host that records messages.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/regional_settings.h"
#include "base/text_measurer.h"
#include "formats/native/grid_file.h"
#include "formulas/data_grid_formulas.h"
#include "grid/custom_grid.h"

namespace plu::testing {

// One framed record as the bytes hold it.
struct RawRecord {
    uint16_t id = 0;
    std::vector<uint8_t> body;

    uint16_t U16(size_t at) const {
        return static_cast<uint16_t>(body.at(at) | (body.at(at + 1) << 8));
    }
    uint32_t U32(size_t at) const {
        return static_cast<uint32_t>(U16(at)) | (static_cast<uint32_t>(U16(at + 2)) << 16);
    }
    int32_t I32(size_t at) const { return static_cast<int32_t>(U32(at)); }
};

// Splits a stream into records by its framing (u16 id, u16 length, 0xFFFF
// then a u32 length); fails the test on a cut-off record.
inline std::vector<RawRecord> SplitRecords(const std::vector<uint8_t>& bytes) {
    std::vector<RawRecord> records;
    size_t at = 0;
    auto u16 = [&](size_t p) { return static_cast<size_t>(bytes[p] | (bytes[p + 1] << 8)); };
    while (at < bytes.size()) {
        EXPECT_LE(at + 4, bytes.size()) << "cut-off header";
        if (at + 4 > bytes.size()) break;
        RawRecord r;
        r.id = static_cast<uint16_t>(u16(at));
        size_t length = u16(at + 2);
        at += 4;
        if (length == 0xFFFF) {
            length = u16(at) | (u16(at + 2) << 16);
            at += 4;
        }
        EXPECT_LE(at + length, bytes.size()) << "cut-off body";
        if (at + length > bytes.size()) break;
        r.body.assign(bytes.begin() + static_cast<ptrdiff_t>(at),
                      bytes.begin() + static_cast<ptrdiff_t>(at + length));
        at += length;
        records.push_back(std::move(r));
    }
    return records;
}

inline std::vector<uint16_t> Ids(const std::vector<RawRecord>& records) {
    std::vector<uint16_t> ids;
    for (const RawRecord& r : records)
        ids.push_back(r.id);
    return ids;
}

inline int CountOf(const std::vector<RawRecord>& records, uint16_t id) {
    int n = 0;
    for (const RawRecord& r : records)
        n += r.id == id;
    return n;
}

// A plain grid with fixed text metrics.
class PlainGrid : public TKtCustomGrid {
  public:
    PlainGrid() { SetMeasurer(&measurer_); }

  private:
    FixedTextMeasurer measurer_;
};

// A grid with formula support, as a data grid sets it up.
class FormulaGrid : public PlainGrid {
  public:
    FormulaGrid() { SetOptionsEx(OptionsEx().With(TGridOptionEx::goxSupportFormula)); }
    std::unique_ptr<IKtFormula> CreateFormula(TKtValue& owner, WideStringView text,
                                              const IKtFormula* old) override {
        return formulas.CreateFormula(owner, text, old);
    }
    void Calculate() override { formulas.Calculate(); }

    TKtDataGridFormulas formulas{*this};
};

class RecordingHost : public IKtGridFileHost {
  public:
    void ShowMessage(WideStringView text) override { messages.emplace_back(text); }
    std::vector<WideString> messages;
};

inline std::vector<uint8_t> BuildBytes(TKtCustomGrid& grid, bool includeFixed = true) {
    TKtGridFile file;
    file.Build(grid, includeFixed);
    return file.ToBytes();
}

// Reads bytes and applies them to grid; returns the messages shown.
inline std::vector<WideString> ReadInto(TKtCustomGrid& grid, const std::vector<uint8_t>& bytes) {
    RecordingHost host;
    TKtGridFile file;
    file.ReadFrom(bytes, &host);
    file.Apply(grid);
    return host.messages;
}

}  // namespace plu::testing
