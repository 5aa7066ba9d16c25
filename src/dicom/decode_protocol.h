// What the parent and the decoder process (radmtf-decode) say to each other,
// and the byte budget of a decode. The decoder runs in a process of its own
// because the DICOM library and its codecs can crash, assert or exhaust
// memory on hostile files; nothing here links them.
//
// Request: magic, the decode budget, whether the header walk found pixel
// data, the file's size, then the file's bytes. Reply: magic, then either a
// Failure (code and arguments), "loads as stored", or a DecodedImage. The
// parent checks every length of a reply against what the file declared and
// the budget before it keeps anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/failure.h"
#include "dicom/codestream.h"
#include "dicom/pixel_decoder.h"

namespace radmtf {

struct DecodeRequest {
    std::uint64_t maxDecodedBytes = kDefaultMaxDecodedBytes;
    bool walkFoundPixelData = false;
};

inline constexpr std::size_t kDecodeRequestHeaderSize = 32;

std::vector<std::uint8_t> DecodeRequestHeader(const DecodeRequest& request, std::uint64_t fileSize);
// The request and the file size from a header; nothing when it is no header.
std::optional<std::pair<DecodeRequest, std::uint64_t>> ParseDecodeRequestHeader(const std::uint8_t* data,
                                                                                std::size_t size);

// What starts a waiting decoder process on its request: the limits it sets
// itself first, and a fault the tests provoke (RADMTF_DECODER_TEST_FAULT:
// abort, hang or talk, read by the program when it sends the request).
struct DecodeStart {
    std::uint64_t addressSpace = 0;  // bytes (RLIMIT_AS)
    std::uint64_t cpuSeconds = 0;    // RLIMIT_CPU
    std::uint64_t replyBytes = 0;    // RLIMIT_FSIZE
    std::uint8_t testFault = 0;      // 0 none, 1 abort, 2 hang, 3 talk
};

inline constexpr std::size_t kDecodeStartSize = 32;

std::vector<std::uint8_t> EncodeDecodeStart(const DecodeStart& start);
std::optional<DecodeStart> ParseDecodeStart(const std::uint8_t* data, std::size_t size);

// The child's answer: the decoded image, nothing (the file loads as stored),
// or the Failure it was refused with.
struct DecodeReply {
    std::optional<DecodedImage> image;
    std::optional<Failure> failure;
};

// The reply; without an image's words at its end when `withWords` is false
// (the decoder writes them from where they are).
std::vector<std::uint8_t> EncodeDecodeReply(const DecodeReply& reply, bool withWords = true);
// Nothing when the reply is damaged, cut short or holds more than an image
// within the budget can hold.
std::optional<DecodeReply> ParseDecodeReply(const std::uint8_t* data, std::size_t size,
                                            std::uint64_t maxDecodedBytes);

// The bytes a decode of one frame holds at its peak: the decoded samples
// with the copies the codec's decoder is known to make of them, its working
// integers, and the 16-bit words made from them. An inflated data set
// (`inflatedBytes`) is held as well.
std::uint64_t DecodeBytesNeeded(std::uint64_t pixels, std::uint32_t samplesPerPixel,
                                std::uint32_t bitsAllocated, Codec codec, bool encapsulated,
                                std::uint64_t inflatedBytes = 0);

// Throws kDecodeBudgetExceeded (megabytes needed and allowed) when `needed` is over the budget.
void CheckDecodeBudget(std::uint64_t needed, std::uint64_t maxDecodedBytes);

}  // namespace radmtf
