// Hooks for the replies to transfer frames. The link engine dispatches a
// recognised reply by the first letter of the frame in flight; the download,
// upload and clock pairing implement these and act on the shared LinkState
// (NextFrame, AwaitingReply, ReplyTicks, Transferring) as their rules say.
#pragma once

#include <string_view>

namespace plu {

class ILinkReplyHandler {
public:
    virtual ~ILinkReplyHandler() = default;
    // "T…" (the clock frame) in flight.
    virtual void ClockReply(std::string_view body) = 0;
    // "BU" in flight: the business lines of an upload.
    virtual void BeginUploadReply(std::string_view body) = 0;
    // Another "B…" frame (the business header of a download) in flight.
    virtual void HeaderReply(std::string_view body) = 0;
    // "D…" (a record, an empty record or the end of a download) in flight.
    virtual void DownloadReply(std::string_view body) = 0;
    // "U" or "UA" in flight.
    virtual void UploadReply(std::string_view body) = 0;
};

}  // namespace plu
