// Dependents of formula cells and their recalculation.
//
// A formula cell watches the positions its references name (cells and
// ranges, in its own grid or in another sheet of the same workbook). A
// change of a cell recalculates the formulas watching its position, then
// the formulas watching theirs, and so on: the affected formulas are found
// first (breadth first over the watches) and recalculated in dependency
// order from a work list, so a chain of any length needs no more stack than
// one formula, and every formula is recalculated once per change. Formulas
// caught in a circle are recalculated last, once each; their formula object
// reports the circle.
//
// TKtGridDependents belongs to one grid: the positions watched in it, and
// the changes it defers while the grid is inside BeginUpdate (recalculated
// at the outermost EndUpdate). TKtDependencies is what the grids of one
// workbook share: the registrations of their formula cells and the
// propagation across them. A lone grid has a registry of its own; the
// worksheets of a sheet control share the one of their formula context, so
// that "=Sheet2!A1+1" on one sheet follows Sheet2!A1 on another.
//
// Structural edits: references that name a grid follow its inserted,
// deleted and reordered rows and columns (TKtAxisEdit; the formula object
// applies the edit to its references), the watches are renewed from the
// references, and the formulas are recalculated.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "grid/axis_edit.h"
#include "grid/formula.h"
#include "grid/range_watches.h"

namespace plu {

class TKtCell;
class TKtCustomGrid;
class TKtDependencies;
class TKtGridDependents;

// The registration of one formula cell: the watches it holds in the grids it
// reads, and the marks of the recalculation that last met it. Its watches go
// before it does, so a watch's record is always alive.
struct TKtWatcherRecord {
    struct Link {
        TKtGridDependents* Target;
        TKtRangeWatches::Handle Watch;
    };
    // A sheet part of a reference: the index it was written with and the
    // grid that index named (nullptr: no such sheet); Gone once that grid
    // was destroyed.
    struct SheetRef {
        int Index;
        TKtGridDependents* Grid;
        bool Gone = false;
    };
    TKtGridDependents* Home = nullptr;
    std::vector<Link> Links;
    std::vector<SheetRef> Sheets;
    uint64_t Seq = 0;         // registration order
    bool CrossSheet = false;  // refers to another sheet (found or not)
    uint64_t Run = 0;
    uint32_t Waiting = 0;  // formulas it reads not recalculated yet in this run
    uint32_t EdgeBegin = 0;
    uint32_t EdgeEnd = 0;
    bool Done = false;
};

class TKtGridDependents {
  public:
    explicit TKtGridDependents(TKtCustomGrid& grid);
    // Detach(true) first.
    ~TKtGridDependents();
    TKtGridDependents(const TKtGridDependents&) = delete;
    TKtGridDependents& operator=(const TKtGridDependents&) = delete;

    TKtCustomGrid& Grid() const { return grid_; }
    // The registry this grid takes part in (its own unless shared).
    TKtDependencies& Registry();
    // Joins a registry shared with other grids (nullptr: a registry of its
    // own). The grid's formula cells move their registrations along; links
    // with grids of the old registry end (their formulas are renewed when
    // they take part in the new one).
    void Share(TKtDependencies* shared);
    // Leaves the registry: every link with another grid ends and formulas of
    // other grids that watched this one are marked for recalculation. When
    // the grid is being destroyed (call before its cells are freed; they then
    // need no unregistering), references of other sheets' formulas to it
    // become "#REF!".
    void Detach(bool destroying = true);

    // ---- Watches -------------------------------------------------------
    // formulaCell (of this grid) watches the positions refs name; replaces
    // what it watched before.
    void Register(TKtCell& formulaCell, const std::vector<TKtFormulaRef>& refs);
    void Unregister(const TKtCell& formulaCell);
    bool IsRegistered(const TKtCell& formulaCell) const;
    // The formula cells (of any grid) watching (col, row) of this grid.
    std::vector<TKtCell*> WatchersAt(int col, int row) const;
    const TKtRangeWatches& Watches() const { return watches_; }

    // ---- Changes ------------------------------------------------------------
    // The value of cell (of this grid) changed: its watchers are
    // recalculated now, or at the outermost EndUpdate while updating.
    void Changed(TKtCell& cell);
    // The cell is being destroyed: forgets it (and its registration).
    void Forget(const TKtCell& cell);
    // End of the outermost update: recalculates what the deferred changes
    // reach (and the formulas entered meanwhile).
    void Flush();
    // Cells of this grid inside rect (half-open) were freed: their watchers
    // are recalculated (now or at EndUpdate).
    void CellsRemoved(const TRect& rect);
    // The grid's sheet index changed. Once the sheets of the registry have
    // distinct indices again, references to sheets are renumbered after the
    // grids they named (a reference keeps naming its sheet when sheets move
    // or others are removed), renewed and recalculated.
    void SheetIndexChanged();
    // Rows or columns of this grid were inserted, deleted or reordered (grid
    // coordinates, before the edit; the grid is already in its new state):
    // references into the grid follow the edit and their formulas are
    // recalculated.
    void StructureChanged(const TKtAxisEdit& edit);

  private:
    friend class TKtDependencies;
    // Recalculates formulas now, or defers them while the grid updates.
    void RecalculateOrDefer(const std::vector<TKtCell*>& formulas);

    TKtCustomGrid& grid_;
    TKtDependencies* registry_ = nullptr;
    std::unique_ptr<TKtDependencies> own_;
    TKtRangeWatches watches_;
};

class TKtDependencies {
  public:
    TKtDependencies();
    // Grids still taking part leave with their registrations.
    ~TKtDependencies();
    TKtDependencies(const TKtDependencies&) = delete;
    TKtDependencies& operator=(const TKtDependencies&) = delete;

    // Sheets were added, removed, moved or renumbered: references to other
    // sheets are resolved again and their formulas recalculated (at once,
    // or with the next change when a recalculation is running).
    void SheetsChanged();

    // Recalculates, in dependency order, recalc (formula cells that need it
    // themselves) and everything watching the positions of changed cells or
    // of the recalculated ones, transitively. A failing formula does not stop
    // the others (it shows its failure); an exception from a handler of the
    // change events ends the recalculation and reaches the caller.
    void Propagate(const std::vector<TKtCell*>& changed, const std::vector<TKtCell*>& recalc);

    // Formula cells registered, and how many of them refer to other sheets.
    size_t RegisteredCount() const { return records_.size(); }
    size_t CrossSheetCount() const { return crossSheet_; }

  private:
    friend class TKtGridDependents;

    using Record = TKtWatcherRecord;
    using Link = TKtWatcherRecord::Link;

    Record* Find(const TKtCell* cell) {
        auto it = records_.find(cell);
        return it == records_.end() ? nullptr : &it->second;
    }
    void Attach(TKtGridDependents& grid);
    void Leave(TKtGridDependents& grid);
    void Unlink(Record& record);
    // Erases a record (its watches removed first).
    std::unordered_map<const TKtCell*, Record>::iterator Erase(
        std::unordered_map<const TKtCell*, Record>::iterator it);
    // Recalculation deferred by updating grids: cell -> the grid whose
    // EndUpdate takes it; whether the cell itself needs recalculating.
    struct Deferred {
        TKtGridDependents* Owner;
        bool Recalc;
    };
    void Defer(TKtCell& cell, TKtGridDependents& owner, bool recalc);
    // Re-registers every cross-sheet formula (after renumbering their sheet
    // parts when the indices are consistent); returns them.
    std::vector<TKtCell*> ResolveSheets();
    // No two grids of the registry share a sheet index (>= 0).
    bool SheetIndicesConsistent() const;
    // Renumbers the sheet parts of references after the grids they named
    // (indices too, or only sheets that went); returns the formulas changed.
    std::vector<TKtCell*> RenumberSheets(bool indices);
    // Marks every formula reached from cells (included) uncalculated, so
    // that reads work their results out afresh.
    void InvalidateFrom(const std::vector<TKtCell*>& cells);

    std::vector<TKtGridDependents*> grids_;
    std::unordered_map<const TKtCell*, Record> records_;
    std::unordered_map<TKtCell*, Deferred> deferred_;
    // Formulas that lost a watched sheet: recalculated with the next change.
    std::unordered_set<TKtCell*> stale_;
    uint64_t nextSeq_ = 0;
    uint64_t runs_ = 0;
    // Counts erased records: while it stands still, record pointers taken
    // during a recalculation stay valid.
    uint64_t erasures_ = 0;
    int running_ = 0;
    size_t crossSheet_ = 0;
    bool sheetsChanged_ = false;
};

}  // namespace plu
