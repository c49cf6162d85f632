// DownLoad: the PLU sheet goes to the scale. Start validates the sheet, lays
// it out again and queues the business header; each accepted frame queues the
// next PLU row (a record, or an empty record for a blank row) until all 265
// are sent, then the end frame. Frames go out through the link engine's
// NextFrame, one at a time; replies arrive through the engine's dispatch.
//
// The rows are read once, at Start, right after the validation and the
// layout: what was checked is exactly what is sent, whatever happens to the
// sheet while the transfer runs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/link_state.h"
#include "plu/plu_host.h"
#include "plu/transfer_outcome.h"

namespace plu {

class TKtCustomGrid;

inline constexpr char16_t kDataErrorsText[] = u"Data errors.";
inline constexpr char16_t kDownloadSuccessfulText[] = u"Download successful.";
inline constexpr char16_t kStopDownloadingText[] = u"Stop downloading!";
inline constexpr char16_t kDownloadingBusinessNameText[] = u"Downloading Business Name";
inline constexpr char16_t kDownloadingNoText[] = u"Downloading No.";

// The fill colour of a row that failed the validation.
constexpr int32_t kValidationMarkColor = 65535;  // yellow

class PluDownload {
  public:
    PluDownload(LinkState& state, IPluHost& host);
    PluDownload(const PluDownload&) = delete;
    PluDownload& operator=(const PluDownload&) = delete;

    // Serial > DownLoad > Start. With a sheet that fails the validation only
    // "Data errors." is shown; otherwise the header is queued and the window
    // locked for a download.
    void menuStartClick();
    // Serial > DownLoad > Stop: the frame in flight is still answered, then
    // the end frame goes out.
    void menuStopClick();

    // Upper-cases the business lines, product names and ingredients in the
    // sheet, checks every PLU row and marks each bad row yellow (columns 1 to
    // 8; the selection is left on the last one). Sets ValidationFailed.
    void ValidateSheet();
    // Queues the next row's frame, or the end frame after the last row or
    // when Stop was chosen.
    void BuildNextRecordFrame();

    // Replies, as the link engine dispatches them.
    void HeaderReply(std::string_view body);
    void DownloadReply(std::string_view body);

    uint16_t RecordNo = 0;  // the PLU record being sent; its row is RecordNo + 3
    bool StopRequested = false;
    bool ValidationFailed = false;

    // The rows the last validation marked, in row order.
    const std::vector<int>& MarkedRows() const { return markedRows_; }
    // How the last download went; a running one whose link was lost reads
    // (and stays) Abandoned.
    TransferOutcome Outcome();

  private:
    struct PreparedRow {
        std::string frame;  // record or empty-record frame
        WideString label;   // the row's number cell, for the status text
    };

    bool CheckTextCell(TKtCustomGrid& grid, int col, int row);
    void MarkRow(TKtCustomGrid& grid, int row);
    // Reads the PLU rows into frames; false (rows marked) if one fails now.
    bool PrepareRows(TKtCustomGrid& grid);
    void Finish();

    LinkState& state_;
    IPluHost& host_;
    std::vector<int> markedRows_;
    std::vector<PreparedRow> rows_;
    TransferOutcome outcome_ = TransferOutcome::None;
};

}  // namespace plu
