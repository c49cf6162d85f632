// Scale frames from the serial line: recognition, every reply decoder, the
// link engine's dispatch on whatever frame is in flight, and the virtual
// scale's side of the same bytes. Nothing may crash or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/exceptions.h"
#include "link/frame.h"
#include "link/frames.h"
#include "link/identification.h"
#include "link/link_engine.h"
#include "link/replies.h"
#include "link/scale_text.h"
#include "virtual-scale/frame_assembler.h"
#include "virtual-scale/virtual_scale.h"

namespace {

struct NullPort : plu::ILinkPort {
    void OpenPort() override {}
    void ClosePort() override {}
    bool WriteBlock(std::string_view) override { return true; }
};

struct NullHost : plu::ILinkHost {
    void SetStatusText(int, plu::WideStringView) override {}
    void SetTransferMenusEnabled(bool) override {}
    void UnlockUi() override {}
    void UpdateTitle() override {}
    void LayoutSheet(bool) override {}
    void SetTimerEnabled(bool) override {}
    void StepPortSettings() override {}
    void ApplyAndOpen() override {}
};

// Decodes a body the way the upload does, converting field by field.
void DecodeAsUploadWould(std::string_view body) {
    try {
        if (plu::IsEmptyPluReply(body)) (void)plu::EmptyPluNumber(body);
    } catch (const plu::EConvertError&) {
    }
    if (!plu::RecordChecksumOk(body)) return;
    const plu::RecordReply r = plu::DecodeRecordReply(body);
    try {
        (void)plu::RecordPluNumber(r);
        (void)plu::RecordProductName(r);
        (void)plu::RecordIngredients(r);
        (void)plu::RecordLife(r);
        const plu::WideString unit = plu::RecordUnit(r);
        (void)plu::RecordUnitPrice(r, u'.');
        (void)plu::RecordTare(r, unit, u',');
        (void)plu::RecordItemCode(r);
    } catch (const plu::EConvertError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view block(reinterpret_cast<const char*>(data), size);

    if (const auto body = plu::RecognizeFrame(data, size)) {
        (void)plu::DecodeIdentification(*body);
        (void)plu::DecodeBusinessLines(*body);
        DecodeAsUploadWould(*body);
    }
    // Bodies need not come through a frame for the decoders to be safe.
    (void)plu::DecodeIdentification(block);
    (void)plu::DecodeBusinessLines(block);
    DecodeAsUploadWould(block);
    (void)plu::FromScaleText(block);

    // The engine with each kind of frame in flight, fed the block as a reply.
    static NullPort port;
    static NullHost host;
    plu::LinkEngine engine(port, host);
    const std::string inFlight[] = {plu::LinkPollFrame(), plu::BeginUploadFrame(),
                                    plu::NextRecordFrame(), plu::EndOfDownloadFrame(), ""};
    for (const std::string& frame : inFlight) {
        engine.State().FrameInFlight = frame;
        engine.Comm1ReceiveData(data, static_cast<uint16_t>(size > 0xFFFF ? 0xFFFF : size));
        engine.Timer1Timer();
    }

    // The virtual scale hears the same bytes from the PC's side.
    plu::virtual_scale::FrameAssembler assembler;
    plu::virtual_scale::VirtualScale scale;
    for (const std::string& frameBody : assembler.Feed(block)) (void)scale.Answer(frameBody);
    (void)scale.Answer(block);
    return 0;
}
