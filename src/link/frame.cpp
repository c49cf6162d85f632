#include "link/frame.h"

namespace plu {

std::optional<std::string> RecognizeFrame(std::string_view block) {
    if (block.size() > kFrameBufferSize) return std::nullopt;
    if (block.size() < 3) return std::nullopt;
    const std::size_t n = block.size();
    if (block[0] != kStx || block[n - 2] != kCr || block[n - 1] != kEtx) return std::nullopt;
    return std::string(block.substr(1, n - 3));
}

std::optional<std::string> RecognizeFrame(const void* data, std::size_t length) {
    if (data == nullptr) return std::nullopt;
    return RecognizeFrame(std::string_view(static_cast<const char*>(data), length));
}

namespace {

std::string ChecksumOf(std::string_view bytes) {
    uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        crc ^= static_cast<uint8_t>(bytes[i]);
        for (int bit = 0; bit < 8; ++bit) {
            const bool out = (crc & 1) != 0;
            crc >>= 1;
            if (out) crc ^= 0xA001;
        }
    }
    static const char kHex[] = "0123456789ABCDEF";
    const uint8_t low = static_cast<uint8_t>(crc & 0xFF);
    return std::string{kHex[low >> 4], kHex[low & 0x0F]};
}

}  // namespace

std::string FrameChecksum(std::string_view bytes, uint16_t count) {
    return ChecksumOf(bytes.substr(0, count));
}

std::string FrameChecksum(std::string_view bytes) { return ChecksumOf(bytes); }

std::string MakeFrame(std::string_view body) {
    std::string frame;
    frame.reserve(body.size() + 3);
    frame.push_back(kStx);
    frame.append(body);
    frame.push_back(kCr);
    frame.push_back(kEtx);
    return frame;
}

std::string MakeCheckedFrame(std::string_view body) {
    std::string withSum(body);
    withSum += FrameChecksum(body);
    return MakeFrame(withSum);
}

bool HasTrailingChecksum(std::string_view body) {
    if (body.size() < 2) return false;
    const std::size_t covered = body.size() - 2;
    return FrameChecksum(body.substr(0, covered)) == body.substr(covered);
}

std::string TrimmedFrame(std::string_view frame) {
    std::size_t begin = 0, end = frame.size();
    while (begin < end && static_cast<uint8_t>(frame[begin]) <= 32) ++begin;
    while (end > begin && static_cast<uint8_t>(frame[end - 1]) <= 32) --end;
    return std::string(frame.substr(begin, end - begin));
}

}  // namespace plu
