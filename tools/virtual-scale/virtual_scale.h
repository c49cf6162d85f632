// The virtual scale's logic, free of any device: it takes the body of each
// frame the PC sends and returns what the scale writes back, as the real
// scale answers the catalogue of frames:
//   "L"            identification of the configured model
//   "BU"           business lines (20 + 20) and their checksum; the upload
//                  starts before PLU 1
//   "BD…"          business header: stored, "BD" (or "BA" when its checksum
//                  is wrong or a rejection is injected)
//   "D…", "DN…"    a record or an empty record: stored, "D" (or "DA")
//   "DE"           end of the download: "DE"
//   "U"            the next PLU: its record (126 bytes with checksum), "N"
//                  and its 3-digit number when it is empty, "UE" after PLU 265
//   "UA"           the same reply as last time
//   "T…"           the clock: stored, "T" (or "TA")
// Anything else gets no reply.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/frames.h"
#include "virtual-scale/fault_plan.h"
#include "virtual-scale/plu_table.h"
#include "virtual-scale/scale_model.h"

namespace plu::virtual_scale {

// What the scale writes for one frame: each burst is written at once, with a
// pause of more than 100 ms before the next one. No bursts: no reply.
struct ScaleReply {
    std::vector<std::string> bursts;
    // The first burst must also stand apart from what was written before it
    // (noise right after the previous reply would join that reply's block).
    bool apartFromPrevious = false;
    // Milliseconds to wait before the first burst.
    int pauseMs = 0;
    // Instead of replying, vanish from the line for this long (0: stay).
    int unplugMs = 0;
    bool Silent() const { return bursts.empty(); }
};

// The pause between two bursts of one reply, long enough for the PC's
// serial component to deliver the first burst alone.
constexpr int kBurstGapMs = 150;

class VirtualScale {
public:
    explicit VirtualScale(ScaleModel model = {}, PluTable table = SamplePluTable());

    ScaleReply Answer(std::string_view frameBody);

    FaultPlan& Faults() { return faults_; }
    const ScaleModel& Model() const { return model_; }
    const PluTable& Table() const { return table_; }
    PluTable& Table() { return table_; }
    // The last clock the PC set, if any.
    const std::optional<ClockFields>& Clock() const { return clock_; }
    int DownloadsCompleted() const { return downloads_; }

    // Called after each "DE" (for saving the table).
    std::function<void()> OnDownloadComplete;

private:
    // The reply body; `checked` tells whether it ends in a checksum.
    std::optional<std::string> ReplyBody(std::string_view body, bool& checked);
    std::string UploadReply();
    std::string Noise(std::size_t length, bool withFlowControl);

    ScaleModel model_;
    PluTable table_;
    FaultPlan faults_;
    std::optional<ClockFields> clock_;
    int downloads_ = 0;
    int uploadCursor_ = 0;  // the PLU number last offered by "U"
    std::string lastUploadReply_;
    uint32_t noiseState_ = 0x2545F491u;
};

// The 126-byte record body the scale sends for PLU `number` (1..265).
std::string RecordReplyBody(int number, const ScalePlu& plu);

// Takes a PLU record frame's body ("D", index, fields, checksum) apart; false
// when its length, hexadecimal fields or checksum are wrong.
bool ParseRecordFrame(std::string_view body, int& number, ScalePlu& plu);

}  // namespace plu::virtual_scale
