// The interfaces through which the grid model reaches what lies outside it:
// the view that paints it (repaint requests in client pixels, scroll bars,
// the current cell), the in-place editor that the editing controller
// attaches, the clipboard service that the clipboard module installs, and
// the pictures of image cells. The grid works without any of them.
#pragma once

#include <cstdint>
#include <vector>

#include "base/wide_text.h"
#include "grid/grid_types.h"

namespace plu {

class TKtCell;
class TKtCustomGrid;

// The window showing a grid.
class IKtGridView {
  public:
    virtual ~IKtGridView() = default;
    // Repaint this rectangle of the client area (pixels, half-open).
    virtual void InvalidateRect(const TRect& pixels) = 0;
    // Repaint everything.
    virtual void InvalidateAll() = 0;
    // Ranges or positions of the scroll bars changed.
    virtual void UpdateScrollBars(bool horizontal, bool vertical) = 0;
    // The current cell moved (the editor may follow).
    virtual void CurrentCellChanged(int col, int row) {
        (void)col;
        (void)row;
    }
    // The frozen panes changed.
    virtual void ViewLockChanged() {}
    // The grid is being destroyed (its edit already ended): the view lets
    // go of it and must not call it any more.
    virtual void GridDestroying() {}
};

// The in-place editor as the grid and its cells drive it.
class IKtCellEditor {
  public:
    virtual ~IKtCellEditor() = default;
    // Opens the editor over cell (the cell decided that it may be edited).
    virtual void Show(TKtCell& cell) = 0;
    // Closes the editor, committing the text when save is true. False when a
    // commit was refused: the editor then stays open; also false when the
    // cell was destroyed during the commit (the caller must not touch it).
    virtual bool Hide(bool save, bool focusGrid) = 0;
    // The edited cell moved or changed size.
    virtual void UpdateBounds() = 0;
    // The edited cell is being destroyed (its row or column was deleted):
    // drop every reference to it without saving.
    virtual void CellGone(const TKtCell& cell) { (void)cell; }
    // The edited cell was re-created in another class at the same position
    // (fresh carries its value): follow it.
    virtual void CellReplaced(const TKtCell& old, TKtCell& fresh) {
        (void)old;
        (void)fresh;
    }
    // The selection changed while it picks a reference for a formula
    // (TKtGridSelection::ReferenceMode); rect is half-open.
    virtual void SelectionChanged(const TRect& rect) { (void)rect; }
    // The editor's own clipboard commands; false when it has nothing to do.
    virtual bool CopySelection() { return false; }
    virtual bool CutSelection() { return false; }
    virtual bool PasteText() { return false; }
};

// The clipboard service behind the selection's Copy, Cut and Paste.
class IKtGridClipboard {
  public:
    virtual ~IKtGridClipboard() = default;
    // Places a copy of the cells of rect (half-open) on the clipboard.
    virtual void Copy(TKtCustomGrid& grid, const TRect& rect, bool cut) = 0;
    // Reads the clipboard into the grid at rect.
    virtual void Paste(TKtCustomGrid& grid, const TRect& rect, int mode) = 0;
    // Whether the clipboard still holds what this grid copied (the copied
    // rectangle stays marked until it changes).
    virtual bool HoldsCopyOf(const TKtCustomGrid& grid) const {
        (void)grid;
        return false;
    }
    // Places plain text on the clipboard (the in-place editor's formula
    // references go through the clipboard as text).
    virtual void PutText(WideStringView text) { (void)text; }
    // The grid's pending copy ends (Escape, the editor opened with F2): the
    // clipboard is emptied when it still holds what this grid copied.
    virtual void Release(TKtCustomGrid& grid) { (void)grid; }
    // The in-place editor opens: what this grid copied is rendered into the
    // clipboard (other programs can still paste it) and its copy ends.
    virtual void Flush(TKtCustomGrid& grid) { (void)grid; }
    // The grid is being destroyed or given another service: nothing may
    // refer to it afterwards.
    virtual void GridDestroyed(TKtCustomGrid& grid) { (void)grid; }
};

// A picture of the grid's picture list (image cells, native stream): its
// kind and its stream form, carried without interpretation.
struct TKtPicture {
    enum Kind : uint16_t { None = 0, Bitmap = 1, Jpeg = 2, Metafile = 3, Icon = 4 };
    uint16_t Type = None;
    std::vector<uint8_t> Data;

    bool IsEmpty() const { return Type == None || Data.empty(); }
};

}  // namespace plu
