// The three transfers of the PLU table behind the link engine: DownLoad,
// UpLoad and the clock pairing. Constructing PluTransfers installs it as the
// engine's reply handler (and destroying it removes it), so the engine's
// dispatch by the frame in flight reaches the right transfer.
//
// Driving it without a window: wait for State().Connected, call one of the
// menu handlers, keep ticking the engine and delivering received blocks, and
// read the transfer's Outcome() until it is no longer Running.
#pragma once

#include "link/link_engine.h"
#include "link/reply_handler.h"
#include "plu/clock_pairing.h"
#include "plu/download.h"
#include "plu/plu_host.h"
#include "plu/upload.h"

namespace plu {

class PluTransfers : public ILinkReplyHandler {
  public:
    PluTransfers(LinkEngine& engine, IPluHost& host);
    ~PluTransfers() override;
    PluTransfers(const PluTransfers&) = delete;
    PluTransfers& operator=(const PluTransfers&) = delete;

    PluDownload& Download() { return download_; }
    PluUpload& Upload() { return upload_; }
    ClockPairing& Pairing() { return pairing_; }

    void ClockReply(std::string_view body) override { pairing_.ClockReply(body); }
    void BeginUploadReply(std::string_view body) override { upload_.BeginUploadReply(body); }
    void HeaderReply(std::string_view body) override { download_.HeaderReply(body); }
    void DownloadReply(std::string_view body) override { download_.DownloadReply(body); }
    void UploadReply(std::string_view body) override { upload_.UploadReply(body); }

  private:
    LinkEngine& engine_;
    PluDownload download_;
    PluUpload upload_;
    ClockPairing pairing_;
};

}  // namespace plu
