// TKtGridClipboard: the clipboard service of the grids (IKtGridClipboard),
// one per process, installed on every grid with SetClipboard. It holds the
// copy state: each grid's clipboard object, the one copy source (the grid
// whose copy or cut is pending) and the phase of the copy marquee. It must
// outlive the grids it is installed on, or they must be given another
// service first.
//
// Copy and cut put an object on the clipboard that offers the "BIFF8"
// workbook and the Unicode text, both built only when a program asks, from
// the cells as they are then. A pending copy ends when the clipboard lets go
// of the object (another copy here or elsewhere, another program taking the
// clipboard), on Escape and F2 (Release), when the in-place editor opens
// (Flush: the copied cells stay pasteable as rendered data) and when the
// grid goes. Ending clears the grid's marked rectangle and stops the marquee.
//
// Paste takes the copy source's cells directly (a cut moves them and ends
// the cut; a copy stays pending), else the clipboard's Unicode text, else its
// 8-bit text. The selective paste lists the formats on offer under their
// captions and pastes the one chosen: text, the workbook or a picture.
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "clipboard/clipboard_service.h"
#include "grid/grid_host.h"
#include "grid/grid_types.h"

namespace plu {

class TKtCustomGrid;

// The selective paste dialog as the paste sees it.
class IKtSelectivePasteDialog {
  public:
    virtual ~IKtSelectivePasteDialog() = default;
    // Shows the captions with none selected; the index chosen with OK, or -1
    // (cancelled, or closed with nothing selected).
    virtual int Execute(const std::vector<WideString>& captions) = 0;
};

// The caption of a format in the selective paste dialog.
WideString FormatCaption(TKtClipFormat format);

// The formats of offered that the selective paste lists, in their order.
std::vector<TKtClipFormat> SelectivePasteFormats(const std::vector<TKtClipFormat>& offered);

class TKtGridClipboard : public IKtGridClipboard {
  public:
    explicit TKtGridClipboard(IKtClipboardService& service);
    // Renders a pending copy into the clipboard, so that it outlives the
    // program where the platform allows.
    ~TKtGridClipboard() override;
    TKtGridClipboard(const TKtGridClipboard&) = delete;
    TKtGridClipboard& operator=(const TKtGridClipboard&) = delete;

    IKtClipboardService& Service() const { return service_; }
    void SetSelectivePasteDialog(IKtSelectivePasteDialog* dialog) { dialog_ = dialog; }
    // Shows the message of a failure while a format is built for another
    // program (no data is handed out then).
    std::function<void(const WideString& message)> OnRenderError;

    // ---- IKtGridClipboard ---------------------------------------------------
    // PutOnClipboard: offers rect (half-open) of grid, which becomes the copy
    // source; no cell is read. The selection marks the rectangle.
    void Copy(TKtCustomGrid& grid, const TRect& rect, bool cut) override;
    // mode kPasteSpecial: the selective paste; otherwise the copy source,
    // else the clipboard's text (the caller asked OnPaste and AllowEdit).
    void Paste(TKtCustomGrid& grid, const TRect& rect, int mode) override;
    bool HoldsCopyOf(const TKtCustomGrid& grid) const override { return source_ == &grid; }
    // Plain text for other programs (ends a pending copy like any new object).
    void PutText(WideStringView text) override;
    void Release(TKtCustomGrid& grid) override;
    void Flush(TKtCustomGrid& grid) override;
    void GridDestroyed(TKtCustomGrid& grid) override;

    // ---- Paste ---------------------------------------------------------------
    TKtCustomGrid* CopySource() const { return source_; }
    // The copy source's cells into grid at its selection's top-left corner;
    // false when there is no copy source or OnBeforePaste refuses.
    bool PasteCopySource(TKtCustomGrid& grid);
    // Special false: PasteBest; true: SelectivePaste.
    void PasteFromClipboard(TKtCustomGrid& grid, const TRect& range, bool special);
    // Unicode text if on offer (whatever the order), else 8-bit text, else
    // nothing.
    void PasteBest(TKtCustomGrid& grid, const TRect& range);
    void SelectivePaste(TKtCustomGrid& grid, const TRect& range);
    // Pastes one format (raises EClipboardError when it cannot be read).
    void PasteFormat(TKtCustomGrid& grid, const TRect& range, TKtClipFormat format);

    // ---- Copy marquee --------------------------------------------------------
    // The dash set on screen (0 or 1); see grid/copy_marquee.h.
    int MarqueePhase() const { return phase_; }
    // Every kCopyMarqueeInterval ms while HoldsCopyOf(grid): the other dash
    // set, repainting the frame's edges of the copy source.
    void MarqueeTick();

  private:
    void ObjectReleased(uint64_t id);
    // Ends the copy of every object of ours that is no longer current (for
    // a clipboard that reports a release late).
    void Sweep();
    TKtClipData RequireData(TKtClipFormat format);
    std::optional<TKtClipData> RenderOrReport(const std::function<TKtClipData()>& build);
    void InvalidateMarquee(TKtCustomGrid& grid) const;

    IKtClipboardService& service_;
    IKtSelectivePasteDialog* dialog_ = nullptr;
    // Each grid's object on (or last put on) the clipboard.
    std::unordered_map<TKtCustomGrid*, uint64_t> objects_;
    TKtCustomGrid* source_ = nullptr;
    int phase_ = 0;
};

}  // namespace plu
