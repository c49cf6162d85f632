#include "virtual-scale/virtual_scale.h"

#include <algorithm>
#include <cstdio>

#include "base/wide_text.h"
#include "link/frame.h"

namespace plu::virtual_scale {

namespace {

bool ParseHex(std::string_view text, uint32_t& value) {
    if (text.empty() || text.size() > 8) return false;
    value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return true;
}

std::string Decimal(uint32_t value, int width) {
    uint32_t max = 1;
    for (int i = 0; i < width; ++i)
        max *= 10;
    if (value >= max) value = max - 1;  // the field cannot hold more
    char text[16];
    std::snprintf(text, sizeof text, "%0*u", width, value);
    return text;
}

std::string RightAligned(const std::string& bytes, std::size_t width) {
    std::string field = bytes.substr(0, width);
    field.insert(0, width - field.size(), ' ');
    return field;
}

std::string WithChecksum(std::string body) {
    return body + FrameChecksum(body);
}

}  // namespace

std::string RecordReplyBody(int number, const ScalePlu& p) {
    std::string body = Decimal(static_cast<uint32_t>(number), 3);
    body += RightAligned(p.name, 20);
    body += RightAligned(p.ingredients, 80);
    body += Decimal(p.life, 3);
    body += static_cast<char>('0' + (p.unitDigit < 0 || p.unitDigit > 9 ? 2 : p.unitDigit));
    body += Decimal(p.unitPrice, 6);
    body += Decimal(p.tare, 6);
    body += Decimal(p.itemCode, 5);
    return WithChecksum(body);
}

bool ParseRecordFrame(std::string_view body, int& number, ScalePlu& p) {
    // "D" index(3) name(20) ingredients(80) life(2) unit(1) price(6) tare(6) code(6) cc(2)
    if (body.size() != 127 || body[0] != 'D' || !HasTrailingChecksum(body)) return false;
    uint32_t index, life, price, tare, code;
    if (!ParseHex(body.substr(1, 3), index) || !ParseHex(body.substr(104, 2), life) ||
        !ParseHex(body.substr(107, 6), price) || !ParseHex(body.substr(113, 6), tare) ||
        !ParseHex(body.substr(119, 6), code))
        return false;
    const char unit = body[106];
    if (unit < '0' || unit > '9' || index >= static_cast<uint32_t>(kPluCount)) return false;
    number = static_cast<int>(index) + 1;
    p.empty = false;
    p.name = TrimBytes(body.substr(4, 20));
    p.ingredients = TrimBytes(body.substr(24, 80));
    p.life = life;
    p.unitDigit = unit - '0';
    p.unitPrice = price;
    p.tare = tare;
    p.itemCode = code;
    return true;
}

VirtualScale::VirtualScale(ScaleModel model, PluTable table)
    : model_(std::move(model)), table_(std::move(table)) {}

std::string VirtualScale::UploadReply() {
    if (uploadCursor_ >= kPluCount) return "UE";
    ++uploadCursor_;
    const ScalePlu& p = table_.plus[static_cast<std::size_t>(uploadCursor_ - 1)];
    if (p.empty) return "N" + Decimal(static_cast<uint32_t>(uploadCursor_), 3);
    return RecordReplyBody(uploadCursor_, p);
}

std::optional<std::string> VirtualScale::ReplyBody(std::string_view body, bool& checked) {
    checked = false;
    if (body == "L") return IdentificationBody(model_);
    if (body == "BU") {
        uploadCursor_ = 0;
        lastUploadReply_.clear();
        checked = true;
        return WithChecksum(RightAligned(table_.businessName, 20) +
                            RightAligned(table_.secondLine, 20));
    }
    if (body.substr(0, 2) == "BD") {
        if (body.size() != 44 || !HasTrailingChecksum(body) ||
            faults_.Take(FaultKind::Reject, body))
            return std::string("BA");
        table_.businessName = TrimBytes(body.substr(2, 20));
        table_.secondLine = TrimBytes(body.substr(22, 20));
        return std::string("BD");
    }
    if (body == "DE") {
        ++downloads_;
        if (OnDownloadComplete) OnDownloadComplete();
        return std::string("DE");
    }
    if (body.substr(0, 2) == "DN") {
        uint32_t index;
        if (body.size() != 7 || !HasTrailingChecksum(body) || !ParseHex(body.substr(2, 3), index) ||
            index >= static_cast<uint32_t>(kPluCount) || faults_.Take(FaultKind::Reject, body))
            return std::string("DA");
        table_.plus[index] = ScalePlu{};
        return std::string("D");
    }
    if (body.substr(0, 1) == "D") {
        int number;
        ScalePlu p;
        if (!ParseRecordFrame(body, number, p) || faults_.Take(FaultKind::Reject, body))
            return std::string("DA");
        table_.plus[static_cast<std::size_t>(number - 1)] = p;
        return std::string("D");
    }
    if (body == "U" || (body == "UA" && lastUploadReply_.empty())) {
        lastUploadReply_ = UploadReply();
        checked = lastUploadReply_.size() == 126;
        if (checked && faults_.Take(FaultKind::Letters, body)) {
            // The unit price starts after the number, name, ingredients,
            // life and unit (3 + 20 + 80 + 3 + 1 bytes).
            lastUploadReply_[107] = 'X';
            lastUploadReply_ = WithChecksum(lastUploadReply_.substr(0, 124));
        }
        return lastUploadReply_;
    }
    if (body == "UA") {
        checked = lastUploadReply_.size() == 126;
        return lastUploadReply_;
    }
    if (body.substr(0, 1) == "T") {
        uint32_t v[6];
        bool ok = body.size() == 15 && HasTrailingChecksum(body);
        for (int i = 0; ok && i < 6; ++i)
            ok = ParseHex(body.substr(1 + 2 * i, 2), v[i]);
        if (!ok || faults_.Take(FaultKind::Reject, body)) return std::string("TA");
        ClockFields c;
        c.year = static_cast<int>(v[0]);
        c.month = static_cast<int>(v[1]);
        c.day = static_cast<int>(v[2]);
        c.hour = static_cast<int>(v[3]);
        c.minute = static_cast<int>(v[4]);
        c.second = static_cast<int>(v[5]);
        clock_ = c;
        return std::string("T");
    }
    return std::nullopt;
}

std::string VirtualScale::Noise(std::size_t length, bool withFlowControl) {
    std::string noise;
    while (noise.size() < length) {
        noiseState_ ^= noiseState_ << 13;
        noiseState_ ^= noiseState_ >> 17;
        noiseState_ ^= noiseState_ << 5;
        const auto b = static_cast<char>(noiseState_ & 0xFF);
        // Never STX or ETX (noise must not look like a frame) and never the
        // flow-control bytes, which would stop the PC's output.
        if (b == kStx || b == kEtx || b == 0x11 || b == 0x13) continue;
        noise.push_back(b);
    }
    if (withFlowControl) {
        noise.insert(noise.size() / 3, 1, 0x13);      // XOFF ...
        noise.insert(2 * noise.size() / 3, 1, 0x11);  // ... and XON again
    }
    return noise;
}

ScaleReply VirtualScale::Answer(std::string_view frameBody) {
    ScaleReply reply;
    bool checked = false;
    if (faults_.Take(FaultKind::Silent, frameBody)) return reply;
    if (const auto away = faults_.TakeTimed(FaultKind::Unplug, frameBody)) {
        // Pulled out before the frame was taken in: the scale never saw it.
        reply.unplugMs = std::max(*away, 1);
        return reply;
    }
    std::optional<std::string> body = ReplyBody(frameBody, checked);
    if (!body) return reply;
    if (const auto pause = faults_.TakeTimed(FaultKind::Pause, frameBody)) reply.pauseMs = *pause;
    if (checked && faults_.Take(FaultKind::BadChecksum, frameBody)) {
        char& last = body->back();
        last = last == '0' ? '1' : '0';
    }
    std::string frame = MakeFrame(*body);
    if (faults_.Take(FaultKind::Corrupt, frameBody)) frame = Noise(8, false) + frame;
    if (faults_.Take(FaultKind::Garbage, frameBody))
        reply.bursts.push_back(Noise(16, false));
    else if (faults_.Take(FaultKind::GarbageXoff, frameBody))
        reply.bursts.push_back(Noise(16, true));
    reply.apartFromPrevious = !reply.bursts.empty();
    if (faults_.Take(FaultKind::Split, frameBody)) {
        const std::size_t half = frame.size() / 2;
        reply.bursts.push_back(frame.substr(0, half));
        reply.bursts.push_back(frame.substr(half));
    } else {
        reply.bursts.push_back(frame);
    }
    return reply;
}

}  // namespace plu::virtual_scale
