// Decoding DICOM pixels in the decoder process, radmtf-decode, beside the
// program: the DICOM library and its codecs run there under an address-space
// and a time limit, so a crash, an assertion, an exhausted limit or a hang
// refuses that one file and never ends the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "dicom/decode_protocol.h"
#include "dicom/pixel_decoder.h"

namespace radmtf {

struct DecodeOptions {
    std::string fileName;  // named by the refusals of a stopped decoder
    std::uint64_t maxDecodedBytes = kDefaultMaxDecodedBytes;
    int timeoutSeconds = 60;
    // The decoder's own messages as its codecs write them on standard error
    // (print them through PrefixedLines); nothing is kept when null.
    std::string* libraryMessages = nullptr;
};

// DecodeDicomPixels(data, size, walkFoundPixelData) run in the decoder
// process, its address space limited to a margin for the libraries, the
// file and four times `neededBytes` (DecodeBytesNeeded of the declared
// frame; the budget twice over when unknown, as for a deflated data set).
// Throws the Failure the decoder refused the file with, or kDecoderStopped /
// kDecoderTimedOut naming the file and its transfer syntax.
std::optional<DecodedImage> DecodeInChild(const std::uint8_t* data, std::size_t size, bool walkFoundPixelData,
                                          const DecodeOptions& options,
                                          std::optional<std::uint64_t> neededBytes = std::nullopt);

// How many files this program has sent to a decoder process (a plain file none).
std::uint64_t DecoderRequestsSent();

// `text` with every control character but the line feed written as \xHH,
// each line prefixed with "prefix: ".
std::string PrefixedLines(const std::string& prefix, const std::string& text);

}  // namespace radmtf
