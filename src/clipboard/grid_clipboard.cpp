#include "clipboard/grid_clipboard.h"

#include <algorithm>

#include "base/ansi_code_page.h"
#include "clipboard/clipboard_text.h"
#include "clipboard/paste.h"
#include "grid/copy_marquee.h"
#include "grid/custom_grid.h"
#include "grid/grid_selection.h"
#include "sheets/grid_sheet.h"

namespace plu {

WideString FormatCaption(TKtClipFormat format) {
    switch (format) {
        case TKtClipFormat::cfText:
            return u"文本";
        case TKtClipFormat::cfBitmap:
            return u"位图";
        case TKtClipFormat::cfUnicodeText:
            return u"文本(Unicode)";
        case TKtClipFormat::cfBiff8:
            return u"Excel电子表格(BIFF8)";
    }
    return {};
}

std::vector<TKtClipFormat> SelectivePasteFormats(const std::vector<TKtClipFormat>& offered) {
    std::vector<TKtClipFormat> listed;
    for (TKtClipFormat f : offered)
        if (!FormatCaption(f).empty()) listed.push_back(f);
    return listed;
}

TKtGridClipboard::TKtGridClipboard(IKtClipboardService& service) : service_(service) {}

TKtGridClipboard::~TKtGridClipboard() {
    for (const auto& [grid, id] : std::vector(objects_.begin(), objects_.end())) {
        if (!service_.IsCurrent(id)) continue;
        try {
            service_.Flush();
        } catch (...) {
            // Leaving the program cannot fail; the copy is simply lost.
        }
    }
    objects_.clear();
    source_ = nullptr;
}

// ---- Copy ------------------------------------------------------------------------------------

void TKtGridClipboard::Copy(TKtCustomGrid& grid, const TRect& rect, bool cut) {
    (void)cut;  // the selection marks a cut; the offered formats are the same
    TKtCustomGrid* g = &grid;
    std::vector<TKtClipOffer> offers;
    offers.push_back({TKtClipFormat::cfBiff8, [this, g, rect] {
                          return RenderOrReport([&] {
                              TKtClipData data;
                              data.Bytes = BuildWorkbookStorage(*g, rect);
                              return data;
                          });
                      }});
    offers.push_back({TKtClipFormat::cfUnicodeText, [this, g, rect] {
                          return RenderOrReport([&] {
                              TKtClipData data;
                              data.Text = CopiedRangeText(*g, rect);
                              return data;
                          });
                      }});
    const uint64_t id =
        service_.Offer(std::move(offers), [this](uint64_t released) { ObjectReleased(released); });
    Sweep();
    objects_[g] = id;
    source_ = g;
    phase_ = 0;
}

void TKtGridClipboard::PutText(WideStringView text) {
    WideString copy(text);
    service_.Offer({{TKtClipFormat::cfUnicodeText,
                     [copy] { return std::optional<TKtClipData>(TKtClipData{copy, {}}); }}},
                   [](uint64_t) {});
    Sweep();
}

std::optional<TKtClipData> TKtGridClipboard::RenderOrReport(
    const std::function<TKtClipData()>& build) {
    WideString message;
    try {
        return build();
    } catch (const Exception& e) {
        message = e.Message();
    } catch (const std::exception& e) {
        message = Utf8ToWide(e.what());
    }
    if (OnRenderError) OnRenderError(message);
    return std::nullopt;
}

void TKtGridClipboard::ObjectReleased(uint64_t id) {
    for (auto it = objects_.begin(); it != objects_.end(); ++it) {
        if (it->second != id) continue;
        TKtCustomGrid* grid = it->first;
        objects_.erase(it);
        if (source_ == grid) {
            source_ = nullptr;
            grid->Selection().ClearCopiedRect();
        }
        return;
    }
}

void TKtGridClipboard::Sweep() {
    std::vector<uint64_t> gone;
    for (const auto& [grid, id] : objects_)
        if (!service_.IsCurrent(id)) gone.push_back(id);
    for (uint64_t id : gone)
        ObjectReleased(id);
}

void TKtGridClipboard::Release(TKtCustomGrid& grid) {
    const auto it = objects_.find(&grid);
    if (it == objects_.end() || !service_.IsCurrent(it->second)) return;
    service_.Empty();
    Sweep();
}

void TKtGridClipboard::Flush(TKtCustomGrid& grid) {
    const auto it = objects_.find(&grid);
    if (it == objects_.end() || !service_.IsCurrent(it->second)) return;
    service_.Flush();
    Sweep();
}

void TKtGridClipboard::GridDestroyed(TKtCustomGrid& grid) {
    if (source_ == &grid) source_ = nullptr;
    const auto it = objects_.find(&grid);
    if (it == objects_.end()) return;
    const uint64_t id = it->second;
    // Forgotten first: the release must not reach a grid that is going.
    objects_.erase(it);
    if (!service_.IsCurrent(id)) return;
    try {
        service_.Flush();
    } catch (...) {
        // What cannot be rendered is dropped below.
    }
    // The render callbacks refer to the grid: never leave them on offer.
    if (service_.IsCurrent(id)) service_.Empty();
}

// ---- Paste -----------------------------------------------------------------------------------

void TKtGridClipboard::Paste(TKtCustomGrid& grid, const TRect& rect, int mode) {
    // A copy: rect is often the selection's own, which the paste changes.
    const TRect range = rect;
    if (mode == kPasteSpecial) {
        PasteFromClipboard(grid, range, true);
        return;
    }
    if (!PasteCopySource(grid)) PasteFromClipboard(grid, range, false);
}

bool TKtGridClipboard::PasteCopySource(TKtCustomGrid& grid) {
    if (!source_) return false;
    TKtCustomGrid& from = *source_;
    const TRect copied = from.Selection().CopiedRect();
    if (copied.IsEmpty()) return false;
    const TRect at = grid.Selection().Rect();
    const TRect target{at.Left, at.Top, at.Left + copied.Width(), at.Top + copied.Height()};
    bool allow = true;
    if (grid.OnBeforePaste) grid.OnBeforePaste(grid, target, allow);
    if (!allow) return false;
    if (from.Selection().CopiedForCut()) {
        // The cut ends before its cells move: the source no longer marks them.
        source_ = nullptr;
        from.Selection().ClearCopiedRect();
        TransferCells(grid, from, copied, {target.Left, target.Top}, true);
        Release(grid);
    } else {
        TransferCells(grid, from, copied, {target.Left, target.Top}, false);
    }
    grid.SelectRange(target.Left, target.Top, target.Right - 1, target.Bottom - 1);
    if (grid.OnAfterPaste) grid.OnAfterPaste(grid, target);
    return true;
}

void TKtGridClipboard::PasteFromClipboard(TKtCustomGrid& grid, const TRect& rect, bool special) {
    const TRect range = rect;
    if (special)
        SelectivePaste(grid, range);
    else
        PasteBest(grid, range);
}

void TKtGridClipboard::PasteBest(TKtCustomGrid& grid, const TRect& range) {
    const std::vector<TKtClipFormat> formats = service_.Formats();
    auto has = [&](TKtClipFormat f) {
        return std::find(formats.begin(), formats.end(), f) != formats.end();
    };
    if (has(TKtClipFormat::cfUnicodeText))
        PasteFormat(grid, range, TKtClipFormat::cfUnicodeText);
    else if (has(TKtClipFormat::cfText))
        PasteFormat(grid, range, TKtClipFormat::cfText);
}

void TKtGridClipboard::SelectivePaste(TKtCustomGrid& grid, const TRect& range) {
    if (!dialog_) return;
    const std::vector<TKtClipFormat> formats = SelectivePasteFormats(service_.Formats());
    std::vector<WideString> captions;
    for (TKtClipFormat f : formats)
        captions.push_back(FormatCaption(f));
    const int chosen = dialog_->Execute(captions);
    if (chosen < 0 || chosen >= static_cast<int>(formats.size())) return;
    PasteFormat(grid, range, formats[chosen]);
}

TKtClipData TKtGridClipboard::RequireData(TKtClipFormat format) {
    std::optional<TKtClipData> data = service_.Get(format);
    if (!data) throw EClipboardError("The clipboard's data cannot be read.");
    return std::move(*data);
}

void TKtGridClipboard::PasteFormat(TKtCustomGrid& grid, const TRect& range, TKtClipFormat format) {
    switch (format) {
        case TKtClipFormat::cfUnicodeText:
            PasteTextBlock(grid, *SplitClipboardText(RequireData(format).Text), range);
            break;
        case TKtClipFormat::cfText: {
            const TKtClipData data = RequireData(format);
            const std::string_view bytes(reinterpret_cast<const char*>(data.Bytes.data()),
                                         data.Bytes.size());
            // Quotes, TAB, CR and LF are the same bytes in the code page, so
            // converting before splitting equals converting each field.
            PasteTextBlock(grid, *SplitClipboardText(AnsiToWide(bytes)), range);
            break;
        }
        case TKtClipFormat::cfBiff8:
            PasteWorkbook(grid, RequireData(format).Bytes, range.Left, range.Top);
            break;
        case TKtClipFormat::cfBitmap:
            PasteBitmap(grid, RequireData(format).Bytes);
            break;
    }
}

// ---- Copy marquee ----------------------------------------------------------------------------

void TKtGridClipboard::MarqueeTick() {
    phase_ ^= 1;
    if (source_) InvalidateMarquee(*source_);
}

void TKtGridClipboard::InvalidateMarquee(TKtCustomGrid& grid) const {
    IKtGridView* view = grid.View();
    if (!view || grid.IsUpdating()) return;
    for (const TRect& strip : CopyMarqueeStrips(grid, grid.Selection().CopiedRect()))
        view->InvalidateRect(strip);
}

}  // namespace plu
