#include "grid/dependencies.h"

#include <algorithm>

#include "base/events.h"
#include "base/exceptions.h"
#include "grid/cell.h"
#include "grid/custom_grid.h"

namespace plu {

namespace {

// Every watcher once, in the order first met.
std::vector<TKtCell*> Unique(std::vector<TKtCell*> cells) {
    std::unordered_set<TKtCell*> seen;
    seen.reserve(cells.size());
    size_t kept = 0;
    for (TKtCell* c : cells)
        if (seen.insert(c).second) cells[kept++] = c;
    cells.resize(kept);
    return cells;
}

}  // namespace

// ---- TKtGridDependents ----------------------------------------------------------

TKtGridDependents::TKtGridDependents(TKtCustomGrid& grid) : grid_(grid) {}

TKtGridDependents::~TKtGridDependents() {
    Detach();
}

TKtDependencies& TKtGridDependents::Registry() {
    if (!registry_) {
        own_ = std::make_unique<TKtDependencies>();
        registry_ = own_.get();
        registry_->Attach(*this);
    }
    return *registry_;
}

void TKtGridDependents::Share(TKtDependencies* shared) {
    if (shared ? registry_ == shared : (registry_ && registry_ == own_.get())) return;
    // The formula cells of this grid and the changes it deferred move along.
    std::vector<TKtCell*> mine;
    std::vector<std::pair<TKtCell*, TKtDependencies::Deferred>> deferred;
    if (registry_) {
        for (auto& [cell, record] : registry_->records_)
            if (record.Home == this) mine.push_back(const_cast<TKtCell*>(cell));
        for (auto& [cell, d] : registry_->deferred_)
            if (d.Owner == this) deferred.emplace_back(cell, d);
    }
    // Registration order decides the order of independent recalculations.
    std::sort(mine.begin(), mine.end(), [this](TKtCell* a, TKtCell* b) {
        return registry_->records_[a].Seq < registry_->records_[b].Seq;
    });
    Detach(false);
    if (shared) {
        registry_ = shared;
        shared->Attach(*this);
    } else {
        Registry();
    }
    for (auto& [cell, d] : deferred)
        registry_->deferred_[cell] = d;
    for (TKtCell* cell : mine)
        cell->RefreshReferences();
    // Formulas of the registry's other grids may name this one.
    registry_->sheetsChanged_ = true;
}

void TKtGridDependents::Detach(bool destroying) {
    if (!registry_) return;
    TKtDependencies& r = *registry_;
    // Formula cells of this grid: their links end (also into other grids).
    for (auto it = r.records_.begin(); it != r.records_.end();) {
        if (it->second.Home != this) {
            ++it;
            continue;
        }
        it = r.Erase(it);
    }
    // Formulas of other grids watching this one lose those watches: they are
    // read afresh and recalculated with the next change (their references
    // to a grid that is destroyed become "#REF!" now).
    std::vector<TKtCell*> foreign;
    watches_.ForEachWatch([&](TKtCell& watcher, const TRect&) {
        TKtDependencies::Record* record = r.Find(&watcher);
        if (!record || record->Home == this) return;
        auto& links = record->Links;
        links.erase(
            std::remove_if(links.begin(), links.end(),
                           [this](const TKtDependencies::Link& l) { return l.Target == this; }),
            links.end());
        for (auto& sheet : record->Sheets)
            if (sheet.Grid == this) {
                sheet.Grid = nullptr;
                sheet.Gone = destroying;
            }
        foreign.push_back(&watcher);
    });
    watches_.Clear();
    if (!foreign.empty()) {
        if (destroying) r.RenumberSheets(false);
        foreign = Unique(std::move(foreign));
        r.InvalidateFrom(foreign);
        r.stale_.insert(foreign.begin(), foreign.end());
        r.sheetsChanged_ = true;
    }
    for (auto it = r.deferred_.begin(); it != r.deferred_.end();) {
        if (it->second.Owner != this && &it->first->Grid() != &grid_) {
            ++it;
            continue;
        }
        // A formula of another grid this one would have recalculated goes
        // to the next change instead.
        if (&it->first->Grid() != &grid_) r.stale_.insert(it->first);
        it = r.deferred_.erase(it);
    }
    for (auto it = r.stale_.begin(); it != r.stale_.end();)
        it = &(*it)->Grid() == &grid_ ? r.stale_.erase(it) : std::next(it);
    r.Leave(*this);
    registry_ = nullptr;
    own_.reset();
}

void TKtGridDependents::Register(TKtCell& cell, const std::vector<TKtFormulaRef>& refs) {
    TKtDependencies& r = Registry();
    TKtDependencies::Record& record = r.records_[&cell];
    r.Unlink(record);
    if (record.CrossSheet) --r.crossSheet_;
    record.Home = this;
    record.Seq = ++r.nextSeq_;
    record.CrossSheet = false;
    record.Run = 0;
    const std::vector<TKtWatcherRecord::SheetRef> previous = std::move(record.Sheets);
    record.Sheets.clear();
    for (const TKtFormulaRef& ref : refs) {
        TKtGridDependents* target = nullptr;
        if (ref.Grid)
            target = &ref.Grid->Dependents();
        else if (ref.SheetIndex < 0 || ref.SheetIndex == grid_.SheetIndex())
            target = this;
        // A sheet named in the reference may come to be another grid when
        // sheets are renumbered, even when it names this one now.
        if (target != this || ref.SheetIndex >= 0) record.CrossSheet = true;
        if (ref.SheetIndex >= 0) {
            auto sameIndex = [&](const TKtWatcherRecord::SheetRef& s) {
                return s.Index == ref.SheetIndex;
            };
            auto known = std::find_if(previous.begin(), previous.end(), sameIndex);
            TKtGridDependents* named = known != previous.end() ? known->Grid : nullptr;
            // The grid a sheet part named before stays its sheet: while the
            // index finds another grid (sheets being moved or renumbered, or
            // that sheet taken out) or a grid that does not carry that index
            // yet, nothing is watched and the sheets are looked at again.
            if ((named && named != target) ||
                (target && target->grid_.SheetIndex() != ref.SheetIndex)) {
                target = nullptr;
                r.sheetsChanged_ = true;
            }
            if (!named) named = target;
            if (std::none_of(record.Sheets.begin(), record.Sheets.end(), sameIndex))
                record.Sheets.push_back(
                    {ref.SheetIndex, named, known != previous.end() && known->Gone});
        }
        if (!target) continue;  // a sheet that does not exist (yet)
        // A grid the formula engine names belongs to the same workbook.
        if (target->registry_ != &r) target->Share(&r);
        auto clamp = [](int v, int hi) { return std::clamp(v, 0, hi); };
        const TRect rect = TRect::FromCorners(
            clamp(ref.Col1, kMaxGridCols - 1), clamp(ref.Row1, kMaxGridRows - 1),
            clamp(ref.Col2, kMaxGridCols - 1), clamp(ref.Row2, kMaxGridRows - 1));
        record.Links.push_back({target, target->watches_.Add(cell, rect, &record)});
    }
    if (record.CrossSheet) ++r.crossSheet_;
}

void TKtGridDependents::Unregister(const TKtCell& cell) {
    if (!registry_) return;
    TKtDependencies& r = *registry_;
    auto it = r.records_.find(&cell);
    if (it != r.records_.end()) r.Erase(it);
}

bool TKtGridDependents::IsRegistered(const TKtCell& cell) const {
    return registry_ && registry_->records_.count(&cell) > 0;
}

std::vector<TKtCell*> TKtGridDependents::WatchersAt(int col, int row) const {
    std::vector<TKtCell*> found;
    watches_.ForEachAt(col, row, [&found](TKtCell& watcher) { found.push_back(&watcher); });
    return Unique(std::move(found));
}

void TKtGridDependents::Changed(TKtCell& cell) {
    if (grid_.IsUpdating()) {
        // A formula entered or copied meanwhile was not calculated.
        const bool recalc = cell.Formula() != nullptr;
        if (recalc || watches_.Watched(cell.Col(), cell.Row()))
            Registry().Defer(cell, *this, recalc);
        return;
    }
    if (!registry_) return;
    if (registry_->sheetsChanged_ || !registry_->stale_.empty() ||
        watches_.Watched(cell.Col(), cell.Row()))
        registry_->Propagate({&cell}, {});
}

void TKtGridDependents::Forget(const TKtCell& cell) {
    if (!registry_) return;
    Unregister(cell);
    TKtDependencies& r = *registry_;
    if (!r.deferred_.empty()) r.deferred_.erase(const_cast<TKtCell*>(&cell));
    if (!r.stale_.empty()) r.stale_.erase(const_cast<TKtCell*>(&cell));
}

void TKtGridDependents::Flush() {
    if (!registry_ || registry_->deferred_.empty()) return;
    TKtDependencies& r = *registry_;
    std::vector<TKtCell*> changed;
    std::vector<TKtCell*> recalc;
    for (auto it = r.deferred_.begin(); it != r.deferred_.end();) {
        if (it->second.Owner != this) {
            ++it;
            continue;
        }
        changed.push_back(it->first);
        if (it->second.Recalc) recalc.push_back(it->first);
        it = r.deferred_.erase(it);
    }
    if (!changed.empty()) r.Propagate(changed, recalc);
}

void TKtGridDependents::CellsRemoved(const TRect& rect) {
    if (watches_.Empty() || rect.IsEmpty()) return;
    std::vector<TKtCell*> watchers;
    watches_.ForEachWatch([&](TKtCell& watcher, const TRect& watched) {
        if (!watched.Intersect(rect).IsEmpty()) watchers.push_back(&watcher);
    });
    RecalculateOrDefer(Unique(std::move(watchers)));
}

void TKtGridDependents::StructureChanged(const TKtAxisEdit& edit) {
    if (watches_.Empty()) return;
    std::vector<TKtCell*> watchers;
    watchers.reserve(watches_.Count());
    watches_.ForEachWatch([&](TKtCell& watcher, const TRect&) { watchers.push_back(&watcher); });
    watchers = Unique(std::move(watchers));
    // Every watch of this grid belongs to one of them, so renewing their
    // registrations renews the whole index.
    for (TKtCell* watcher : watchers) {
        if (IKtFormula* f = watcher->Formula()) f->MoveReferences(grid_, edit);
        watcher->RefreshReferences();
    }
    RecalculateOrDefer(watchers);
}

void TKtGridDependents::SheetIndexChanged() {
    if (!registry_) return;
    TKtDependencies& r = *registry_;
    r.sheetsChanged_ = true;
    if (r.crossSheet_ == 0) return;
    // Sheets are renumbered one at a time; only when no two share an index
    // can references be renumbered after the grids they named. The watches
    // follow grids, not indices, so they stay right meanwhile; what was left
    // unresolved is looked at again with the next change.
    if (r.SheetIndicesConsistent()) r.InvalidateFrom(r.RenumberSheets(true));
}

void TKtGridDependents::RecalculateOrDefer(const std::vector<TKtCell*>& formulas) {
    if (formulas.empty()) return;
    TKtDependencies& r = Registry();
    if (grid_.IsUpdating()) {
        for (TKtCell* cell : formulas)
            r.Defer(*cell, *this, true);
        return;
    }
    r.Propagate({}, formulas);
}

// ---- TKtDependencies -------------------------------------------------------------

TKtDependencies::TKtDependencies() = default;

TKtDependencies::~TKtDependencies() {
    // Grids that outlive the registry keep their values; their formulas no
    // longer follow changes until they join another registry.
    const std::vector<TKtGridDependents*> grids = grids_;
    for (TKtGridDependents* grid : grids)
        grid->Detach();
}

void TKtDependencies::Attach(TKtGridDependents& grid) {
    if (std::find(grids_.begin(), grids_.end(), &grid) == grids_.end()) grids_.push_back(&grid);
}

void TKtDependencies::Leave(TKtGridDependents& grid) {
    grids_.erase(std::remove(grids_.begin(), grids_.end(), &grid), grids_.end());
}

void TKtDependencies::Unlink(Record& record) {
    for (const Link& link : record.Links)
        link.Target->watches_.Remove(link.Watch);
    record.Links.clear();
}

std::unordered_map<const TKtCell*, TKtDependencies::Record>::iterator TKtDependencies::Erase(
    std::unordered_map<const TKtCell*, Record>::iterator it) {
    Unlink(it->second);
    if (it->second.CrossSheet) --crossSheet_;
    ++erasures_;
    return records_.erase(it);
}

void TKtDependencies::Defer(TKtCell& cell, TKtGridDependents& owner, bool recalc) {
    auto [it, added] = deferred_.try_emplace(&cell, Deferred{&owner, recalc});
    if (!added) it->second.Recalc = it->second.Recalc || recalc;
}

void TKtDependencies::SheetsChanged() {
    sheetsChanged_ = true;
    if (running_ == 0) Propagate({}, {});
}

bool TKtDependencies::SheetIndicesConsistent() const {
    std::vector<int> indices;
    for (const TKtGridDependents* grid : grids_)
        if (grid->grid_.SheetIndex() >= 0) indices.push_back(grid->grid_.SheetIndex());
    std::sort(indices.begin(), indices.end());
    return std::adjacent_find(indices.begin(), indices.end()) == indices.end();
}

std::vector<TKtCell*> TKtDependencies::RenumberSheets(bool indices) {
    std::vector<TKtCell*> changed;
    if (crossSheet_ == 0) return changed;
    for (auto& [cell, record] : records_) {
        std::vector<std::pair<int, int>> renumbering;
        for (const auto& sheet : record.Sheets) {
            if (sheet.Gone) {
                renumbering.emplace_back(sheet.Index, kSheetGone);
            } else if (indices && sheet.Grid) {
                const int now = sheet.Grid->grid_.SheetIndex();
                if (now >= 0 && now != sheet.Index) renumbering.emplace_back(sheet.Index, now);
            }
        }
        if (renumbering.empty()) continue;
        if (IKtFormula* f = cell->Formula()) f->RenumberSheets(renumbering);
        auto& sheets = record.Sheets;
        sheets.erase(
            std::remove_if(sheets.begin(), sheets.end(), [](const auto& s) { return s.Gone; }),
            sheets.end());
        for (auto& sheet : sheets)
            if (sheet.Grid && sheet.Grid->grid_.SheetIndex() >= 0)
                sheet.Index = sheet.Grid->grid_.SheetIndex();
        changed.push_back(const_cast<TKtCell*>(cell));
    }
    return changed;
}

void TKtDependencies::InvalidateFrom(const std::vector<TKtCell*>& cells) {
    std::unordered_set<const TKtCell*> seen;
    std::vector<std::pair<TKtCell*, Record*>> todo;
    for (TKtCell* cell : cells)
        if (Record* r = Find(cell); r && seen.insert(cell).second) todo.emplace_back(cell, r);
    for (size_t i = 0; i < todo.size(); ++i) {
        auto [cell, record] = todo[i];
        if (IKtFormula* f = cell->Formula()) f->Invalidate();
        record->Home->watches_.ForEachWatcherAt(cell->Col(), cell->Row(),
                                                [&](TKtCell& w, TKtWatcherRecord* r) {
                                                    if (seen.insert(&w).second)
                                                        todo.emplace_back(&w, r);
                                                });
    }
}

std::vector<TKtCell*> TKtDependencies::ResolveSheets() {
    // Renumbering waits until no two sheets share an index; the formulas are
    // renewed meanwhile all the same and again once it is done.
    if (SheetIndicesConsistent()) {
        sheetsChanged_ = false;
        RenumberSheets(true);
    }
    std::vector<std::pair<uint64_t, TKtCell*>> cross;
    for (auto& [cell, record] : records_)
        if (record.CrossSheet) cross.emplace_back(record.Seq, const_cast<TKtCell*>(cell));
    std::sort(cross.begin(), cross.end());
    std::vector<TKtCell*> cells;
    for (auto& [seq, cell] : cross)
        cells.push_back(cell);
    for (TKtCell* cell : stale_)
        cells.push_back(cell);
    stale_.clear();
    cells = Unique(std::move(cells));
    for (TKtCell* cell : cells)
        cell->RefreshReferences();
    return cells;
}

void TKtDependencies::Propagate(const std::vector<TKtCell*>& changed,
                                const std::vector<TKtCell*>& recalcIn) {
    std::vector<TKtCell*> recalc = recalcIn;
    if (running_ == 0 && (sheetsChanged_ || !stale_.empty())) {
        std::vector<TKtCell*> renewed = ResolveSheets();
        recalc.insert(recalc.end(), renewed.begin(), renewed.end());
    }
    const uint64_t run = ++runs_;
    ++running_;
    ScopeExit done([this] { --running_; });

    // A formula cell with its record. Records stay where they are until one
    // is erased; after that (a handler freed or changed a formula) each one
    // is looked up again by the cell's address, without touching the cell.
    struct Node {
        TKtCell* Cell;
        Record* Rec;
    };
    const uint64_t erasures = erasures_;
    auto current = [&](const Node& n) { return erasures_ == erasures ? n.Rec : Find(n.Cell); };

    // Marks one formula cell as reached (and as waiting for one more
    // formula, for an edge).
    std::vector<Node> nodes;
    auto reach = [&](TKtCell* cell, Record* r, bool edge) {
        if (r->Run != run) {
            r->Run = run;
            r->Waiting = 0;
            r->Done = false;
            r->EdgeBegin = r->EdgeEnd = 0;
            nodes.push_back({cell, r});
            // Whatever reads it before its turn calculates it afresh.
            if (IKtFormula* f = cell->Formula()) f->Invalidate();
        }
        if (edge) ++r->Waiting;
    };
    auto watchersOf = [](TKtGridDependents& home, TKtCell* cell, auto&& visit) {
        home.watches_.ForEachWatcherAt(cell->Col(), cell->Row(), visit);
    };

    // Everything the changes reach, breadth first; the edges of each formula
    // (the formulas watching it) are kept for the ordering below.
    for (TKtCell* cell : recalc)
        if (Record* r = Find(cell)) reach(cell, r, false);
    // A changed cell is up to date: the formulas it reaches wait for it no
    // longer (a changed formula that is itself recalculated is a node).
    for (TKtCell* cell : changed) {
        if (Record* r = Find(cell); r && r->Run == run) continue;
        watchersOf(cell->Grid().Dependents(), cell,
                   [&](TKtCell& w, TKtWatcherRecord* r) { reach(&w, r, false); });
    }
    std::vector<Node> edges;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const Node node = nodes[i];
        const auto begin = static_cast<uint32_t>(edges.size());
        watchersOf(*node.Rec->Home, node.Cell, [&](TKtCell& w, TKtWatcherRecord* r) {
            edges.push_back({&w, r});
            reach(&w, r, true);
        });
        node.Rec->EdgeBegin = begin;
        node.Rec->EdgeEnd = static_cast<uint32_t>(edges.size());
    }

    // Recalculates one formula, then releases the formulas watching it.
    // Handlers of the change events run in between and may change or free
    // cells; a cell registered afresh meanwhile carries no mark of this run.
    std::vector<Node> ready;
    auto recalculate = [&](const Node& node) {
        Record* r = current(node);
        if (!r || r->Run != run || r->Done) return;
        r->Done = true;
        const uint32_t begin = r->EdgeBegin;
        const uint32_t end = r->EdgeEnd;
        if (IKtFormula* f = node.Cell->Formula()) {
            try {
                f->Recalculate();
            } catch (const Exception&) {
                // The formula shows its failure; the others go on.
            }
        }
        node.Cell->Recalculated();
        for (uint32_t k = begin; k < end; ++k) {
            Record* w = current(edges[k]);
            if (w && w->Run == run && !w->Done && w->Waiting > 0 && --w->Waiting == 0)
                ready.push_back(edges[k]);
        }
    };
    // Formulas waiting for nothing start, the latest registered first.
    for (auto it = nodes.rbegin(); it != nodes.rend(); ++it)
        if (it->Rec->Waiting == 0) ready.push_back(*it);
    for (size_t head = 0; head < ready.size(); ++head)
        recalculate(ready[head]);
    // What is left waits on a circle (or on a formula a handler took away).
    for (size_t i = 0; i < nodes.size(); ++i)
        recalculate(nodes[i]);
}

}  // namespace plu
