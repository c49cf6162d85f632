// UpLoad: the scale's PLU table comes into a fresh sheet. After File > New
// (with its save question) the PC asks for the business lines ("BU"), then
// for one record after another ("U"), asking again ("UA") when a record's
// checksum is wrong, until the scale reports the end ("UE"). Each record is
// written into the row its number selects, through the cells' text setter,
// so that numbers become numbers in their formatted columns.
#pragma once

#include <string_view>

#include "link/link_state.h"
#include "plu/plu_host.h"
#include "plu/transfer_outcome.h"

namespace plu {

class TKtCustomGrid;
struct RecordReply;

inline constexpr char16_t kUploadSuccessfulText[] = u"Upload successful.";
inline constexpr char16_t kUploadingModeText[] = u"UpLoading Mode";
inline constexpr char16_t kUploadingNoText[] = u"Uploading No.";

class PluUpload {
  public:
    PluUpload(LinkState& state, IPluHost& host);
    PluUpload(const PluUpload&) = delete;
    PluUpload& operator=(const PluUpload&) = delete;

    // Serial > UpLoad: NewFile, the window locked for an upload, "BU" queued.
    void menuUpLoadClick();

    // Replies, as the link engine dispatches them. A record whose number,
    // unit, price, tare or code bytes are no decimal number shows the
    // conversion error through the host's error display after the fields
    // before it were written; the upload goes on with the next request.
    void BeginUploadReply(std::string_view body);
    void UploadReply(std::string_view body);

    // How the last upload went; a running one whose link was lost reads (and
    // stays) Abandoned.
    TransferOutcome Outcome();
    // Records written into the sheet by the last upload.
    int RecordsReceived() const { return recordsReceived_; }

  private:
    void WriteRecord(TKtCustomGrid& grid, const RecordReply& record, int row);

    LinkState& state_;
    IPluHost& host_;
    TransferOutcome outcome_ = TransferOutcome::None;
    int recordsReceived_ = 0;
};

}  // namespace plu
