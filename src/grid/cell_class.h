// Cell classes: which kind of cell object lives at each position.
//
// A cell class is a factory object (one static instance per cell type); its
// address is the class's identity. TCellInfos keeps an explicit class per
// cell (row -> column, a dense list of sparse lists) and a class per column
// (a sparse list by column, created when first set); entries are stored as
// the class's address plus one, so a stored entry is never nil, and storing
// the default class clears the entry. TCellClassManager answers which class
// a cell at a position must have and re-creates existing cells when a rule
// changes (ReclassCells).
#pragma once

#include <functional>
#include <memory>

#include "grid/grid_types.h"
#include "grid/object_list.h"
#include "grid/sparse_list.h"

namespace plu {

class TKtCell;
class TKwGridRow;
class TKtCustomGrid;

class TKtCellClass {
  public:
    explicit TKtCellClass(const char* name) : name_(name) {}
    virtual ~TKtCellClass() = default;
    TKtCellClass(const TKtCellClass&) = delete;
    TKtCellClass& operator=(const TKtCellClass&) = delete;

    // A new cell of this class at column col of row.
    virtual std::unique_ptr<TKtCell> Create(TKwGridRow& row, int col) const = 0;
    const char* Name() const { return name_; }

  private:
    const char* name_;
};

// The class object of cell type C (C constructible from (TKwGridRow&, int)).
template <typename C>
class TKtCellClassOf final : public TKtCellClass {
  public:
    using TKtCellClass::TKtCellClass;
    std::unique_ptr<TKtCell> Create(TKwGridRow& row, int col) const override {
        return std::make_unique<C>(row, col);
    }
};

class TCellInfos : public TKtListSList<TKtSparseList> {
  public:
    explicit TCellInfos(const TKtCellClass& defaultClass) : defaultClass_(&defaultClass) {}

    const TKtCellClass& DefaultClass() const { return *defaultClass_; }

    // The explicit class of one cell, nullptr when none.
    const TKtCellClass* CellClass(int col, int row) const;
    // nullptr or the default class clears the entry.
    void SetCellClass(int col, int row, const TKtCellClass* cls);
    // The class of a column, nullptr when none.
    const TKtCellClass* ColumnClass(int col) const;
    void SetColumnClass(int col, const TKtCellClass* cls);

    // Structural followers (the same shifts as the cell store).
    void DeleteColumns(int col, int count);
    void InsertColumns(int col, int count);
    void DeleteRows(int row, int count);
    void InsertRows(int row, int count);
    void MoveColumn(int from, int to);
    void MoveRow(int from, int to);
    void ExchangeRows(int a, int b);

    // Called with the position of every class that is set.
    std::function<void(int col, int row)> OnChange;

  private:
    const TKtCellClass* defaultClass_;
    std::unique_ptr<TKtSparseList> columnClasses_;
};

class TCellClassManager {
  public:
    explicit TCellClassManager(TKtCustomGrid& grid);

    TCellInfos& Infos() { return infos_; }
    const TKtCellClass& FixedCellClass() const { return *fixedClass_; }

    // First match: the explicit class of the cell; the column's class below
    // the fixed rows; the fixed-cell class for fixed positions; the default
    // body class.
    const TKtCellClass& CellClassAt(int col, int row) const;

    // Stores the column's class, then re-creates the existing body cells of
    // the column (rows FixedRowCount ... RowCount - 1).
    void SetColumnCellClass(int col, const TKtCellClass* cls);
    // nullptr means TKwProFixedCell; re-checks the existing cells of the
    // fixed rows and columns and of the row and column just beyond them.
    void SetFixedCellClass(const TKtCellClass* cls);
    // Stores the explicit class of one cell and re-creates it if it exists.
    void SetCellClass(int col, int row, const TKtCellClass* cls);
    // Inside a grid update: every existing cell of the inclusive rectangle
    // whose class differs from CellClassAt is re-created in its class with
    // its value, format, texts and extra object carried over.
    void ReclassCells(const TRect& inclusive);

  private:
    TKtCustomGrid& grid_;
    const TKtCellClass* fixedClass_;
    TCellInfos infos_;
};

}  // namespace plu
