// The scale's wire format: STX, body, optional two-digit checksum, CR, ETX.
// Frames are byte strings (std::string holding raw bytes, one per character
// on the line). The PC always speaks first; the scale answers each frame with
// one reply frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plu {

constexpr char kStx = 0x02;
constexpr char kCr = 0x0D;
constexpr char kEtx = 0x03;

// A received block is copied into a buffer of this size before it is
// examined. The longest frame of the catalogue (the scale's record reply) is
// 129 bytes.
constexpr std::size_t kFrameBufferSize = 204;
constexpr std::size_t kLongestFrame = 129;

// The body of a received block (the bytes between STX and CR, checksum
// included), or nothing when the block is not a frame: it must begin with
// STX and end with CR ETX. A frame split over two blocks is not recognised;
// two frames in one block give one body.
//
// A block longer than the frame buffer is never a frame: truncated to the
// buffer it could not end in CR ETX, so it is ignored as a whole rather than
// cut (no byte beyond the buffer is ever examined).
std::optional<std::string> RecognizeFrame(std::string_view block);
std::optional<std::string> RecognizeFrame(const void* data, std::size_t length);

// The frame checksum of the first `count` bytes: CRC-16 as Modbus computes it
// (preset 0xFFFF, reflected polynomial 0xA001, no final XOR), low byte only,
// as two upper-case hexadecimal digits. A count beyond the data covers the
// data alone.
std::string FrameChecksum(std::string_view bytes, uint16_t count);
std::string FrameChecksum(std::string_view bytes);

// STX body CR ETX.
std::string MakeFrame(std::string_view body);
// STX body checksum-of-body CR ETX.
std::string MakeCheckedFrame(std::string_view body);

// True when body ends with the checksum of all its bytes but the last two.
// A body of fewer than two bytes has no checksum and fails.
bool HasTrailingChecksum(std::string_view body);

// The bytes of a frame as sent, without STX, CR and ETX (and without any
// other surrounding bytes up to code 32): what the receive handler dispatches
// on.
std::string TrimmedFrame(std::string_view frame);

}  // namespace plu
