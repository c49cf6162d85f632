// The record model of one native grid stream (TKtWorkbook): the globals
// (XF, FONT, picture, BOUNDSHEET and FORMAT lists) and the sheets (cell,
// ROW, column, TAG, HINT and POSTIL records, DIMENSIONS, the merged ranges).
// Every list owns its records. Reading fills the model from a byte stream
// and keeps whatever was read before a failure; writing produces the
// stream in the fixed order the format prescribes.
//
// A stream is: the globals substream (BOF ... EOF), the sheet substreams
// (BOF ... EOF) and a record with id 0 and length 0.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "formats/native/native_records.h"
#include "grid/byte_stream.h"

namespace plu {

// A list of records where adding is add-or-find: a record whose body equals
// one already held is dropped and the held record's index answered. Look-up
// is by a hash of the body, so building a sheet with many distinct styles
// stays linear.
template <typename R>
class TKtSharedRecordList {
  public:
    int Count() const { return static_cast<int>(records_.size()); }
    // nullptr for an index outside the list.
    const R* Get(int index) const {
        return index >= 0 && index < Count() ? records_[static_cast<size_t>(index)].get() : nullptr;
    }
    // Appends without looking for an equal record (reading).
    void Append(std::unique_ptr<R> record) {
        Index(*record, Count());
        records_.push_back(std::move(record));
    }
    int AddOrFind(std::unique_ptr<R> record) {
        const std::string key(record->Body().begin(), record->Body().end());
        auto it = index_.find(key);
        if (it != index_.end()) return it->second;
        const int at = Count();
        index_.emplace(key, at);
        records_.push_back(std::move(record));
        return at;
    }
    const std::vector<std::unique_ptr<R>>& Records() const { return records_; }

  private:
    void Index(const R& record, int at) {
        index_.emplace(std::string(record.Body().begin(), record.Body().end()), at);
    }
    std::vector<std::unique_ptr<R>> records_;
    std::unordered_map<std::string, int> index_;  // body -> first index holding it
};

using TKtXFList = TKtSharedRecordList<TKtXFRecord>;
using TKtFontList = TKtSharedRecordList<TKtFontRecord>;

// FORMAT records by format index; slots without a record are empty.
class TKtFormatStrings {
  public:
    int Count() const { return static_cast<int>(slots_.size()); }
    const TKtFormatRecord* Get(int index) const {
        return index >= 0 && index < Count() ? slots_[static_cast<size_t>(index)].get() : nullptr;
    }
    // Puts the record at its format index (padding with empty slots);
    // a record already there is replaced.
    void Put(std::unique_ptr<TKtFormatRecord> record);
    const std::vector<std::unique_ptr<TKtFormatRecord>>& Slots() const { return slots_; }

  private:
    std::vector<std::unique_ptr<TKtFormatRecord>> slots_;
};

struct TKtWorkbookGlobals {
    std::unique_ptr<TKtBOFRecord> Bof;
    std::unique_ptr<TKtEOFRecord> Eof;
    TKtXFList XFs;
    TKtFontList Fonts;
    std::vector<std::unique_ptr<TKtImageRecord>> Images;
    std::vector<std::unique_ptr<TKtBoundSheetRecord>> BoundSheets;
    TKtFormatStrings Formats;
};

// One column entry: width in twips, XF index and options.
struct TKtColInfo {
    int Col = 0;
    int Width = 0;
    uint16_t XFIndex = 0;
    uint16_t Options = 0;
    bool SameFormat(const TKtColInfo& o) const {
        return Width == o.Width && XFIndex == o.XFIndex && Options == o.Options;
    }
};

// Column entries, sorted by column; setting a column again replaces its
// entry. Kept as runs of columns with one entry each, so a COLINFO record
// that covers every column costs one run, not 65,536 entries.
class TKtColInfoList {
  public:
    // Entry values for the columns first ... last (nothing when last < first).
    void Assign(int first, int last, int width, uint16_t xf, uint16_t options);
    void Set(const TKtColInfo& info) {
        Assign(info.Col, info.Col, info.Width, info.XFIndex, info.Options);
    }
    // The entry of a column (its Col filled in); false when the column has none.
    bool Find(int col, TKtColInfo& out) const;
    bool Empty() const { return runs_.empty(); }
    // Calls visit(entry) for every column that has an entry, in column order.
    template <typename F>
    void ForEach(F&& visit) const {
        for (const auto& [first, run] : runs_)
            for (int col = first; col <= run.Last; ++col) {
                TKtColInfo info = run.Info;
                info.Col = col;
                visit(info);
            }
    }
    // Runs of neighbouring columns (adjacent column numbers) with equal
    // width, XF index and options, one COLINFO record each. Columns are
    // not merged across a gap: a column in between would otherwise take the
    // run's width and format when read back.
    std::vector<std::unique_ptr<TKtColInfoRecord>> ToRecords() const;
    // Applies a COLINFO record: every column from first to last gets its values.
    void Apply(const TKtColInfoRecord& record) {
        Assign(record.FirstCol(), record.LastCol(), record.Width(), record.XFIndex(),
               record.Options());
    }

  private:
    struct Run {
        int Last = 0;
        TKtColInfo Info;
    };
    std::map<int, Run> runs_;  // first column -> run
};

// The cell records of a sheet in stream order, and the sheet's one
// MERGEDCELLS record (created empty on first use).
class TKtSheetCells {
  public:
    void Append(std::unique_ptr<TKtCellRecord> record) { records_.push_back(std::move(record)); }
    const std::vector<std::unique_ptr<TKtCellRecord>>& Records() const { return records_; }
    TKtMergedCellsRecord& MergedCells();
    const TKtMergedCellsRecord* FindMergedCells() const { return merged_.get(); }
    void SetMergedCells(std::unique_ptr<TKtMergedCellsRecord> record) {
        merged_ = std::move(record);
    }

  private:
    std::vector<std::unique_ptr<TKtCellRecord>> records_;
    std::unique_ptr<TKtMergedCellsRecord> merged_;
};

struct TKtWorkSheet {
    std::unique_ptr<TKtBOFRecord> Bof;
    std::unique_ptr<TKtEOFRecord> Eof;
    WideString Name;
    TKtSheetCells Cells;
    std::vector<std::unique_ptr<TKtRowRecord>> Rows;
    TKtColInfoList ColInfos;
    std::vector<std::unique_ptr<TKtRowColStringRecord>> Tags;
    std::vector<std::unique_ptr<TKtRowColStringRecord>> Hints;
    std::vector<std::unique_ptr<TKtRowColStringRecord>> Postils;
    std::unique_ptr<TKtDimensionsRecord> Dimensions;

    // The layout version of the sheet's cell records: the BOF's version,
    // 0 when the BOF has no body.
    uint16_t LayoutVersion() const { return Bof ? Bof->Version() : 0; }
};

using TKtWorkSheetList = std::vector<std::unique_ptr<TKtWorkSheet>>;

class TKtWorkbook {
  public:
    TKtWorkbookGlobals& Globals() { return globals_; }
    const TKtWorkbookGlobals& Globals() const { return globals_; }
    TKtWorkSheetList& Sheets() { return sheets_; }
    const TKtWorkSheetList& Sheets() const { return sheets_; }
    TKtWorkSheet& AddSheet();

    // Reads records until the id-0 record. Raises EGridFileError on a cut-off
    // header or body, a non-BOF record at the top level, a BOF of an unknown
    // type or a row/column record that is too short; the records read
    // before stay in the model. Then nothing is named; see NameSheets.
    void ReadRecords(TKtStream& stream);
    // Sheet i takes the name of BOUNDSHEET record i, for i below both counts.
    void NameSheets();
    // The whole stream, id-0 record included.
    void WriteTo(TKtRecordWriter& writer) const;

  private:
    void ReadGlobals(TKtStream& stream);
    void ReadSheet(TKtStream& stream, TKtWorkSheet& sheet);

    TKtWorkbookGlobals globals_;
    TKtWorkSheetList sheets_;
};

// Reads one record: 4 header bytes, the u32 length after a length of
// 0xFFFF, the body in one piece. A stream that ends inside any of these
// raises EGridFileError "读取记录失败. 文件无效" (no body is allocated
// beyond what the stream still holds).
std::unique_ptr<TKtDataRecord> ReadRecord(TKtStream& stream);

}  // namespace plu
