// Pixel data that the viewer cannot show as the file stores it: compressed
// (JPEG, JPEG-LS, JPEG 2000, RLE), deflated, big endian, 8-bit, 32-bit or
// colour. It is decoded through the DICOM library into the viewer's own form,
// 16-bit little-endian words of gray values with no header, so that
// rendering, statistics, transforms and the analysis see real pixels.
//
// Every length the file declares is checked against the file before the
// library is asked to read or decode anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dicom/dicom_reader.h"

namespace radmtf {

// Decoded images hold at most this many samples.
inline constexpr std::int64_t kMaxDecodedSamples = std::int64_t{1} << 28;

// What a decode may hold at its peak unless the user allows more.
inline constexpr std::uint64_t kDefaultMaxDecodedBytes = std::uint64_t{1024} << 20;

struct DecodedImage {
    std::vector<std::uint8_t> words;  // rows * columns 16-bit little-endian samples
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    std::string transferSyntax;
    long long frames = 1;  // frames in the file; the first is decoded
    bool colourToGray = false;
    // The words hold signed values (PixelRepresentation 1, gray); otherwise
    // unsigned ones up to 65535.
    bool signedSamples = false;
    // The library's data set as the element table lists it, for files the
    // header walk could not read; empty otherwise.
    std::vector<DicomElement> elements;
};

// Decodes the first frame of data[0, size) when the viewer cannot show its
// pixels as stored, or when the header walk found no pixel data
// (`walkFoundPixelData` false) where the file has some. Returns nothing when
// the file loads as it is (uncompressed little-endian 16-bit gray, or not an
// image at all). Throws Failure with the program's message when the file
// needs decoding and cannot be decoded, and kDecodeBudgetExceeded before
// anything is allocated when the decode would hold more than
// `maxDecodedBytes` (DecodeBytesNeeded).
// It runs the DICOM library in this process: the program calls it only in
// the decoder process (DecodeInChild).
std::optional<DecodedImage> DecodeDicomPixels(const std::uint8_t* data, std::size_t size,
                                              bool walkFoundPixelData,
                                              std::uint64_t maxDecodedBytes = kDefaultMaxDecodedBytes);

// The refused transfer syntax as the refusal names it: "UID (name)", or
// empty when the file has none (FailureCode::kUndecodablePixelData).
std::string TransferSyntaxDescription(const std::string& transferSyntax);

}  // namespace radmtf
