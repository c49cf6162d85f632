#include "plu/download.h"

#include "grid/custom_grid.h"
#include "grid/grid_range.h"
#include "link/frame.h"
#include "link/frames.h"
#include "link/link_host.h"
#include "link/scale_text.h"
#include "plu/plu_row.h"
#include "plu/plu_sheet.h"

namespace plu {

PluDownload::PluDownload(LinkState& state, IPluHost& host) : state_(state), host_(host) {}

TransferOutcome PluDownload::Outcome() {
    if (outcome_ == TransferOutcome::Running && !state_.Connected)
        outcome_ = TransferOutcome::Abandoned;
    return outcome_;
}

void PluDownload::menuStopClick() {
    StopRequested = true;
}

bool PluDownload::CheckTextCell(TKtCustomGrid& grid, int col, int row) {
    // The characters are judged as they were typed: a small accented letter
    // fails now even though the sheet shows it upper-cased afterwards.
    const WideString shown = ShownText(grid, col, row);
    const bool ok = IsScaleText(ToScaleText(shown));
    const WideString upper = UpperCase(shown);
    if (upper != shown) {
        // A formula keeps its source; only typed text is rewritten.
        TKtCell& cell = grid.GetCell(col, row);
        if (cell.Kind() != TKtValueKind::vkFormula) cell.SetText(upper);
    }
    return ok;
}

void PluDownload::MarkRow(TKtCustomGrid& grid, int row) {
    ValidationFailed = true;
    markedRows_.push_back(row);
    grid.SelectRange(kColAddr, row, kColItemCode, row);
    // Coloured through a range of its own: a refused current cell must not
    // leave the mark on whatever the selection still covers.
    TKtGridRange(grid, TRect::FromCorners(kColAddr, row, kColItemCode, row))
        .SetColor(kValidationMarkColor);
}

void PluDownload::ValidateSheet() {
    ValidationFailed = false;
    markedRows_.clear();
    TKtCustomGrid* grid = host_.Grid();
    if (!grid) return;
    for (int row : {kBusinessNameRow, kSecondLineRow})
        if (!CheckTextCell(*grid, kColBusiness, row)) MarkRow(*grid, row);
    for (int row = kFirstPluRow; row <= kLastRow; ++row) {
        bool ok = CheckTextCell(*grid, kColName, row);
        ok = CheckTextCell(*grid, kColIngredients, row) && ok;
        if (!ok) {
            MarkRow(*grid, row);
            continue;
        }
        if (CheckPluRow(ShownRowTexts(*grid, row), state_.CapacityClass).kind ==
            PluRowKind::Invalid)
            MarkRow(*grid, row);
    }
}

bool PluDownload::PrepareRows(TKtCustomGrid& grid) {
    // The layout in between may have repaired commas; the rows are checked
    // once more as they read now, so nothing unchecked can be sent.
    rows_.clear();
    rows_.reserve(kPluCount);
    markedRows_.clear();
    bool ok = true;
    for (int row : {kBusinessNameRow, kSecondLineRow})
        if (!IsScaleTextCell(grid, kColBusiness, row)) {
            MarkRow(grid, row);
            ok = false;
        }
    for (int row = kFirstPluRow; row <= kLastRow; ++row) {
        PluRowCheck check = CheckPluRow(ShownRowTexts(grid, row), state_.CapacityClass);
        if (check.kind == PluRowKind::Invalid || !IsScaleTextCell(grid, kColName, row) ||
            !IsScaleTextCell(grid, kColIngredients, row)) {
            MarkRow(grid, row);
            ok = false;
            continue;
        }
        const auto index = static_cast<uint16_t>(row - kFirstPluRow);
        PreparedRow prepared;
        prepared.label = ShownText(grid, kColAddr, row);
        if (check.kind == PluRowKind::Empty) {
            prepared.frame = EmptyRecordFrame(index);
        } else {
            check.fields.index = index;
            prepared.frame = PluRecordFrame(check.fields);
        }
        rows_.push_back(std::move(prepared));
    }
    if (!ok) rows_.clear();
    return ok;
}

void PluDownload::menuStartClick() {
    if (!host_.Grid()) return;
    ValidateSheet();
    if (!ValidationFailed) {
        host_.LayoutSheet(false);
        TKtCustomGrid* grid = host_.Grid();
        if (!grid) return;
        if (PrepareRows(*grid)) {
            state_.Transferring = true;
            RecordNo = 0;
            state_.NextFrame = BusinessHeaderFrame(ShownText(*grid, kColBusiness, kBusinessNameRow),
                                                   ShownText(*grid, kColBusiness, kSecondLineRow));
            host_.SetStatusText(kProgressPanel, kDownloadingBusinessNameText);
            host_.LockUi(true);
            StopRequested = false;
            outcome_ = TransferOutcome::Running;
            return;
        }
        ValidationFailed = true;
    }
    outcome_ = TransferOutcome::DataErrors;
    host_.ShowMessage(kWarningTitle, kDataErrorsText, MessageIcon::Warning);
}

void PluDownload::BuildNextRecordFrame() {
    if (state_.Transferring)
        ++RecordNo;
    else
        RecordNo = 1;
    if (RecordNo > rows_.size() || StopRequested) {
        state_.NextFrame = EndOfDownloadFrame();
        return;
    }
    const PreparedRow& row = rows_[RecordNo - 1u];
    host_.SetStatusText(kProgressPanel, kDownloadingNoText + row.label);
    state_.NextFrame = row.frame;
}

void PluDownload::HeaderReply(std::string_view body) {
    state_.AwaitingReply = false;
    const std::string reply = TrimBytes(body);
    if (reply == "BA") {
        state_.ReplyTicks = 0;  // the header goes out again
    } else if (reply == "BD") {
        state_.ReplyTicks = 0;
        BuildNextRecordFrame();
    }
    // Anything else: the header goes out again while the time-out runs on.
}

void PluDownload::DownloadReply(std::string_view body) {
    if (body.empty() || body[0] != 'D') return;  // not an answer to a D frame
    state_.AwaitingReply = false;
    state_.ReplyTicks = 0;
    if (TrimmedFrame(state_.FrameInFlight) == "DE") {
        Finish();
    } else if (TrimBytes(body) != "DA") {
        BuildNextRecordFrame();
    }
}

void PluDownload::Finish() {
    state_.Transferring = false;
    state_.NextFrame = LinkPollFrame();
    outcome_ = StopRequested ? TransferOutcome::Stopped : TransferOutcome::Succeeded;
    host_.ShowMessage(kInformationTitle,
                      StopRequested ? kStopDownloadingText : kDownloadSuccessfulText,
                      MessageIcon::Information);
    host_.SetStatusText(kProgressPanel, u"");
    host_.UnlockUi();
}

}  // namespace plu
