#include "plu/upload.h"

#include "base/exceptions.h"
#include "grid/custom_grid.h"
#include "link/frames.h"
#include "link/link_host.h"
#include "link/numbers.h"
#include "link/replies.h"
#include "plu/plu_sheet.h"

namespace plu {

namespace {

// The scale writes its numbers as fixed-width decimal digits. Anything else
// (a sign, "$" hexadecimal, letters) is the runtime's conversion error rather
// than a number read some other way.
int32_t DecimalField(std::string_view digits) {
    std::size_t at = 0;
    while (at < digits.size() && digits[at] == ' ')
        ++at;
    bool ok = at < digits.size();
    for (std::size_t i = at; i < digits.size(); ++i)
        if (digits[i] < '0' || digits[i] > '9') ok = false;
    if (!ok) {
        WideString text;
        for (char b : digits)
            text.push_back(static_cast<char16_t>(static_cast<uint8_t>(b)));
        throw EConvertError(u"'" + text + u"' is not a valid integer value");
    }
    return ScaleDecimal(digits);
}

bool IsPluRow(int row) {
    return row >= kFirstPluRow && row < kFirstPluRow + kPluCount;
}

}  // namespace

PluUpload::PluUpload(LinkState& state, IPluHost& host) : state_(state), host_(host) {}

TransferOutcome PluUpload::Outcome() {
    if (outcome_ == TransferOutcome::Running && !state_.Connected)
        outcome_ = TransferOutcome::Abandoned;
    return outcome_;
}

void PluUpload::menuUpLoadClick() {
    host_.NewFile();
    host_.LockUi(false);
    state_.NextFrame = BeginUploadFrame();
    outcome_ = TransferOutcome::Running;
    recordsReceived_ = 0;
}

void PluUpload::BeginUploadReply(std::string_view body) {
    state_.AwaitingReply = false;
    const auto lines = DecodeBusinessLines(body);
    if (!lines) return;  // "BU" again; the time-out runs on
    state_.Transferring = true;
    state_.ReplyTicks = 0;
    if (TKtCustomGrid* grid = host_.Grid()) {
        SetCellText(*grid, kColBusiness, kBusinessNameRow, lines->businessName);
        SetCellText(*grid, kColBusiness, kSecondLineRow, lines->secondLine);
    }
    host_.SetStatusText(kProgressPanel, kUploadingModeText);
    state_.NextFrame = NextRecordFrame();
}

void PluUpload::UploadReply(std::string_view body) {
    state_.AwaitingReply = false;
    if (IsEndOfUpload(body)) {
        state_.ReplyTicks = 0;
        state_.Transferring = false;
        state_.NextFrame = LinkPollFrame();
        outcome_ = TransferOutcome::Succeeded;
        host_.ShowMessage(kInformationTitle, kUploadSuccessfulText, MessageIcon::Information);
        host_.SetStatusText(kProgressPanel, u"");
        host_.UnlockUi();
        return;
    }
    TKtCustomGrid* grid = host_.Grid();
    try {
        if (IsEmptyPluReply(body)) {
            // The same request goes out again; the scale answers with the next PLU.
            state_.ReplyTicks = 0;
            const int row =
                DecimalField(body.size() <= 3 ? body : body.substr(body.size() - 3)) + 3;
            if (grid && IsPluRow(row))
                host_.SetStatusText(kProgressPanel,
                                    kUploadingNoText + ShownText(*grid, kColAddr, row));
            return;
        }
        if (!RecordChecksumOk(body)) {
            state_.NextFrame = RepeatRecordFrame();  // the time-out runs on
            return;
        }
        state_.ReplyTicks = 0;
        host_.SetStatusText(kProgressPanel, kUploadingModeText);
        state_.NextFrame = NextRecordFrame();
        const RecordReply record = DecodeRecordReply(body);
        const int row = DecimalField(record.number) + 3;
        // Number 0 would land on the captions and numbers above 265 below the
        // table; the scale is not expected to send them, and they touch nothing.
        if (!grid || !IsPluRow(row)) return;
        WriteRecord(*grid, record, row);
    } catch (const Exception& e) {
        host_.ShowErrorMessage(e.Message());
    }
}

void PluUpload::WriteRecord(TKtCustomGrid& grid, const RecordReply& r, int row) {
    ++recordsReceived_;
    SetCellText(grid, kColName, row, RecordProductName(r));
    SetCellText(grid, kColIngredients, row, RecordIngredients(r));
    SetCellText(grid, kColLife, row, RecordLife(r));
    DecimalField(r.unit);
    SetCellText(grid, kColUnit, row, RecordUnit(r));
    const char16_t separator = Regional().DecimalSeparator;
    SetCellText(grid, kColPrice, row, ScaledIntegerText(DecimalField(r.unitPrice), 2, separator));
    // The tare's unit is what the unit cell shows now.
    const bool ounces = ShownText(grid, kColUnit, row) == u"oz";
    SetCellText(grid, kColTare, row,
                ScaledIntegerText(DecimalField(r.tare), ounces ? 2 : 3, separator));
    SetCellText(grid, kColItemCode, row, IntToWide(DecimalField(r.itemCode)));
    host_.SetStatusText(kProgressPanel, kUploadingNoText + ShownText(grid, kColAddr, row));
}

}  // namespace plu
