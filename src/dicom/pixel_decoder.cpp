#include "dicom/pixel_decoder.h"

#include <gdcmFragment.h>
#include <gdcmImage.h>
#include <gdcmPhotometricInterpretation.h>
#include <gdcmPixelFormat.h>
#include <gdcmSequenceOfFragments.h>
#include <gdcmTransferSyntax.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <span>

#include "core/failure.h"
#include "dicom/allocation_cap.h"
#include "dicom/codestream.h"
#include "dicom/decode_protocol.h"
#include "dicom/dicom_layout.h"
#include "dicom/library_elements.h"

namespace radmtf {

namespace {

constexpr std::size_t kMaxInflatedBytes = std::size_t{1} << 30;

// Declared geometry and sample layout, checked for plausibility.
struct PixelDescription {
    std::uint32_t rows = 0;
    std::uint32_t columns = 0;
    std::uint32_t samplesPerPixel = 1;
    std::uint32_t bitsAllocated = 16;
    std::uint32_t bitsStored = 16;
    std::uint32_t highBit = 15;
    bool isSigned = false;
    bool planar = false;
    std::string photometric;
    long long frames = 1;

    std::size_t BytesPerSample() const { return bitsAllocated / 8; }
    std::size_t Pixels() const { return std::size_t{rows} * columns; }
};

[[noreturn]] void Refuse(const std::string& transferSyntax)
{
    ThrowFailure(FailureCode::kUndecodablePixelData, {TransferSyntaxDescription(transferSyntax)});
}

// The deflated data set after the meta group, inflated behind a copy of
// everything before it. Nothing when the stream is damaged or too large.
std::optional<std::vector<std::uint8_t>> Inflate(const std::uint8_t* data, std::size_t size,
                                                 std::size_t start, std::uint64_t maxInflated)
{
    std::vector<std::uint8_t> out(data, data + start);
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return std::nullopt;
    stream.next_in = const_cast<Bytef*>(data + start);
    stream.avail_in = static_cast<uInt>(std::min<std::size_t>(size - start, UINT32_MAX));
    int result = Z_OK;
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    while (result == Z_OK) {
        if (out.size() - start >= maxInflated) break;
        const std::size_t used = out.size();
        out.resize(used + kChunk);
        stream.next_out = out.data() + used;
        stream.avail_out = static_cast<uInt>(kChunk);
        result = inflate(&stream, Z_NO_FLUSH);
        out.resize(used + (kChunk - stream.avail_out));
        if (result == Z_BUF_ERROR && stream.avail_in == 0) break;  // stream ends without its end mark
    }
    inflateEnd(&stream);
    if (result != Z_STREAM_END && result != Z_BUF_ERROR) return std::nullopt;
    return out;
}

// The fragments that hold the first frame.
Fragments FirstFrame(const DicomLayout& layout, const std::uint8_t* data, long long frames)
{
    const std::vector<PixelFragment>& fragments = layout.fragments;
    if (fragments.empty() || static_cast<long long>(fragments.size()) < frames) return {};
    std::size_t count = fragments.size();
    if (frames > 1) {
        if (layout.offsetTable.size() >= 2) {
            count = 0;
            while (count < fragments.size() && fragments[count].itemOffset < layout.offsetTable[1]) ++count;
        } else if (static_cast<long long>(fragments.size()) == frames) {
            count = 1;
        } else {
            // No offset table: the frame ends with the fragment that ends
            // with the end-of-image marker (JPEG, JPEG-LS and JPEG 2000 alike).
            count = 0;
            while (count < fragments.size()) {
                const PixelFragment& f = fragments[count++];
                std::size_t end = f.length;
                while (end > 0 && (data[f.offset + end - 1] == 0 || data[f.offset + end - 1] == 0xFF)) --end;
                if (end >= 2 && data[f.offset + end - 2] == 0xFF && data[f.offset + end - 1] == 0xD9) break;
            }
        }
    }
    Fragments frame;
    for (std::size_t i = 0; i < count; ++i)
        frame.emplace_back(data + fragments[i].offset, fragments[i].length);
    return frame;
}

// Decodes one RLE segment (PackBits, DICOM PS3.5 G.3.1) into out[0], out[step], ...
// up to `count` bytes; false when the segment ends before.
bool DecodeRleSegment(std::span<const std::uint8_t> segment, std::uint8_t* out, std::size_t step,
                      std::size_t count)
{
    std::size_t done = 0;
    std::size_t at = 0;
    while (done < count && at < segment.size()) {
        const int header = static_cast<std::int8_t>(segment[at++]);
        if (header >= 0) {
            const std::size_t literal = static_cast<std::size_t>(header) + 1;
            if (at + literal > segment.size()) return false;
            for (std::size_t k = 0; k < literal && done < count; ++k) out[step * done++] = segment[at + k];
            at += literal;
        } else if (header != -128) {
            if (at >= segment.size()) return false;
            const std::uint8_t value = segment[at++];
            for (int k = 0; k < 1 - header && done < count; ++k) out[step * done++] = value;
        }
    }
    return done == count;
}

// Colour RLE of more than one byte a sample, decoded here: the library
// (3.0.21) interleaves its byte segments wrongly. Segment s * bytes + b holds
// byte b (most significant first) of sample s; the result is interleaved
// little-endian samples.
bool DecodeRleColour(const PixelDescription& pixels, std::span<const std::uint8_t> stream,
                     std::vector<std::uint8_t>& samples)
{
    const std::size_t bytes = pixels.BytesPerSample();
    const std::size_t segments = pixels.samplesPerPixel * bytes;
    const std::size_t n = pixels.Pixels();
    if (stream.size() < 64 || segments > 15 || samples.size() != n * segments) return false;
    auto word = [&](std::size_t at) {
        return std::uint32_t{stream[at]} | (std::uint32_t{stream[at + 1]} << 8) |
               (std::uint32_t{stream[at + 2]} << 16) | (std::uint32_t{stream[at + 3]} << 24);
    };
    if (word(0) != segments) return false;
    for (std::size_t k = 0; k < segments; ++k) {
        const std::size_t begin = word(4 + 4 * k);
        const std::size_t end = k + 1 < segments ? word(8 + 4 * k) : stream.size();
        if (begin < 64 || begin > end || end > stream.size()) return false;
        const std::size_t sample = k / bytes;
        const std::size_t byte = bytes - 1 - k % bytes;
        if (!DecodeRleSegment(stream.subspan(begin, end - begin), samples.data() + sample * bytes + byte,
                              segments, n))
            return false;
    }
    return true;
}

// Decodes one frame's stream through the library into `samples`; returns
// the photometric interpretation and planar configuration of the result.
bool DecodeFrame(const std::string& uid, const PixelDescription& pixels, const Fragments& frame,
                 std::vector<std::uint8_t>& samples, std::string& photometric, bool& planar)
{
    const Codec codec = CodecOf(uid);
    if (codec == Codec::kRle && pixels.samplesPerPixel == 3 && pixels.bitsAllocated > 8) {
        if (frame.size() != 1 || !DecodeRleColour(pixels, frame.front(), samples)) return false;
        photometric = pixels.photometric.rfind("YBR_FULL", 0) == 0 ? "YBR_FULL" : "RGB";
        planar = false;
        return true;
    }
    gdcm::Image image;
    image.SetNumberOfDimensions(2);
    image.SetDimension(0, pixels.columns);
    image.SetDimension(1, pixels.rows);
    image.SetPixelFormat(gdcm::PixelFormat(
        static_cast<unsigned short>(pixels.samplesPerPixel),
        static_cast<unsigned short>(pixels.bitsAllocated), static_cast<unsigned short>(pixels.bitsStored),
        static_cast<unsigned short>(pixels.highBit), static_cast<unsigned short>(pixels.isSigned ? 1 : 0)));
    // The library asserts on values it does not know: anything else than a
    // known interpretation with the declared samples per pixel is replaced.
    gdcm::PhotometricInterpretation pi =
        gdcm::PhotometricInterpretation::GetPIType(pixels.photometric.c_str());
    if (pi == gdcm::PhotometricInterpretation::UNKNOWN || pi == gdcm::PhotometricInterpretation::PI_END ||
        pi.GetSamplesPerPixel() != pixels.samplesPerPixel)
        pi = pixels.samplesPerPixel == 3 ? gdcm::PhotometricInterpretation::RGB
                                         : gdcm::PhotometricInterpretation::MONOCHROME2;
    image.SetPhotometricInterpretation(pi);
    // JPEG, JPEG-LS and JPEG 2000 decoders interleave the components whatever
    // the header says (PS3.5 8.2 makes the attribute meaningless for them).
    image.SetPlanarConfiguration(pixels.planar && codec == Codec::kRle ? 1 : 0);
    const gdcm::TransferSyntax::TSType syntax = gdcm::TransferSyntax::GetTSType(uid.c_str());
    if (syntax == gdcm::TransferSyntax::TS_END) return false;
    image.SetTransferSyntax(gdcm::TransferSyntax(syntax));

    gdcm::SmartPointer<gdcm::SequenceOfFragments> fragments = new gdcm::SequenceOfFragments;
    for (const std::span<const std::uint8_t> bytes : frame) {
        gdcm::Fragment fragment;
        fragment.SetByteValue(reinterpret_cast<const char*>(bytes.data()),
                              static_cast<std::uint32_t>(bytes.size()));
        fragments->AddFragment(fragment);
    }
    gdcm::DataElement pixelData(gdcm::Tag(0x7FE0, 0x0010));
    pixelData.SetVR(gdcm::VR::OB);
    pixelData.SetValue(*fragments);
    image.SetDataElement(pixelData);

    if (image.GetBufferLength() != samples.size()) return false;
    if (!image.GetBuffer(reinterpret_cast<char*>(samples.data()))) return false;
    const gdcm::PhotometricInterpretation decodedAs = image.GetPhotometricInterpretation();
    const char* name = decodedAs == gdcm::PhotometricInterpretation::PI_END
                           ? nullptr
                           : gdcm::PhotometricInterpretation::GetPIString(decodedAs);
    photometric = name ? name : "";
    planar = image.GetPlanarConfiguration() != 0;
    // JPEG 2000 has already undone its component transform (RCT or ICT): its
    // samples are RGB whatever the header calls them; the transforms mean
    // nothing to other codecs.
    if (photometric == "YBR_RCT" || photometric == "YBR_ICT") {
        if (codec != Codec::kJpeg2000) return false;
        photometric = "RGB";
    }
    return true;
}

// Sample i of a decoded buffer, little or big endian, as a stored value with
// the unused high bits removed and the sign extended.
class SampleValues {
public:
    SampleValues(const std::uint8_t* data, const PixelDescription& pixels, bool bigEndian)
        : data_(data), bytes_(pixels.BytesPerSample()), big_(bigEndian), signed_(pixels.isSigned)
    {
        bits_ = std::clamp<std::uint32_t>(pixels.bitsStored, 1, pixels.bitsAllocated);
        shift_ = pixels.highBit + 1 >= bits_ && pixels.highBit < pixels.bitsAllocated
                     ? pixels.highBit + 1 - bits_
                     : 0;
    }

    std::int64_t operator[](std::size_t i) const
    {
        const std::uint8_t* p = data_ + i * bytes_;
        std::uint64_t raw = 0;
        for (std::size_t b = 0; b < bytes_; ++b) {
            const std::size_t k = big_ ? b : bytes_ - 1 - b;
            raw = (raw << 8) | p[k];
        }
        raw >>= shift_;
        const std::uint64_t mask = bits_ >= 64 ? ~0ull : ((1ull << bits_) - 1);
        raw &= mask;
        if (signed_ && (raw >> (bits_ - 1)) != 0)
            return static_cast<std::int64_t>(raw) - (std::int64_t{1} << bits_);
        return static_cast<std::int64_t>(raw);
    }

private:
    const std::uint8_t* data_;
    std::size_t bytes_;
    bool big_;
    bool signed_;
    std::uint32_t bits_ = 16;
    std::uint32_t shift_ = 0;
};

// 16-bit words whose measurement reading gives the stored values back:
// values up to 16 bits are kept (unsigned 16-bit data as the viewer always
// held it); wider values are refused rather than wrapped.
class WordWriter {
public:
    WordWriter(std::size_t count, bool isSigned)
        : words_(count * 2), low_(isSigned ? -32768 : 0), high_(isSigned ? 32767 : 65535)
    {
    }
    void Put(std::size_t i, std::int64_t value)
    {
        if (value < low_ || value > high_) ThrowFailure(FailureCode::kValuesBeyond16Bits);
        const auto word = static_cast<std::uint16_t>(value);
        words_[2 * i] = static_cast<std::uint8_t>(word & 0xFF);
        words_[2 * i + 1] = static_cast<std::uint8_t>(word >> 8);
    }
    std::vector<std::uint8_t> Take() { return std::move(words_); }

private:
    std::vector<std::uint8_t> words_;
    std::int64_t low_;
    std::int64_t high_;
};

// Whether little-endian samples are already the viewer's words.
bool ShownAsDecoded(const PixelDescription& pixels)
{
    return pixels.samplesPerPixel == 1 && pixels.bitsAllocated == 16 && pixels.bitsStored == 16;
}

// Whether the photometric interpretation stores chroma once for each pair of
// pixels of a row (Y Y Cb Cr); decoders return such data at full resolution.
bool HalfChroma(const std::string& photometric)
{
    return photometric == "YBR_FULL_422" || photometric == "YBR_PARTIAL_422";
}

// The BT.601 luma of a colour sample rounded: of RGB as stored, and of YBR
// after its conversion to RGB clipped to the sample range (DICOM PS3.3
// C.7.6.3.1.2), as other viewers show it; Y alone differs where a colour
// leaves the RGB cube (lossy chroma does).
class Luma {
public:
    Luma(const std::string& photometric, std::uint32_t bits)
        : full_(photometric.rfind("YBR_FULL", 0) == 0),
          partial_(photometric.rfind("YBR_PARTIAL", 0) == 0),
          half_(std::ldexp(1.0, static_cast<int>(bits) - 1)),
          max_(std::ldexp(1.0, static_cast<int>(bits)) - 1)
    {
    }

    std::int64_t operator()(std::int64_t a, std::int64_t b, std::int64_t c) const
    {
        double r = static_cast<double>(a);
        double g = static_cast<double>(b);
        double bl = static_cast<double>(c);
        if (full_ || partial_) {
            // a = Y, b = Cb, c = Cr.
            const double cb = g - half_;
            const double cr = bl - half_;
            double y = r;
            double kr = 1.402, kgb = 0.344136, kgr = 0.714136, kb = 1.772;
            if (partial_) {
                // Y spans 16..235 and chroma 16..240 of 255, scaled to the sample range.
                y = (r - half_ / 8) * (255.0 / 219.0);
                kr = 1.596, kgb = 0.3918, kgr = 0.813, kb = 2.0172;
            }
            r = Clip(y + kr * cr);
            g = Clip(y - kgb * cb - kgr * cr);
            bl = Clip(y + kb * cb);
        }
        return static_cast<std::int64_t>(std::nearbyint(0.299 * r + 0.587 * g + 0.114 * bl));
    }

private:
    double Clip(double v) const { return std::clamp(std::nearbyint(v), 0.0, max_); }

    bool full_;
    bool partial_;
    double half_;
    double max_;
};

// The first frame as gray words: the single sample, or the luma of colour.
// `subsampled`: the chroma is stored as HalfChroma says (data as stored on
// disk, never a decoder's output).
std::vector<std::uint8_t> GrayWords(const std::uint8_t* data, const PixelDescription& pixels,
                                    const std::string& photometric, bool planar, bool bigEndian,
                                    bool subsampled)
{
    const std::size_t n = pixels.Pixels();
    if (ShownAsDecoded(pixels) && !bigEndian) return std::vector<std::uint8_t>(data, data + 2 * n);
    WordWriter out(n, pixels.isSigned && pixels.samplesPerPixel == 1);
    if (pixels.bitsAllocated == 1) {
        // Packed bits, the first pixel in the lowest bit of each byte.
        for (std::size_t i = 0; i < n; ++i) out.Put(i, (data[i / 8] >> (i % 8)) & 1);
        return out.Take();
    }
    const SampleValues values(data, pixels, bigEndian);
    if (pixels.samplesPerPixel == 1) {
        for (std::size_t i = 0; i < n; ++i) out.Put(i, values[i]);
        return out.Take();
    }
    const Luma luma(photometric, std::clamp<std::uint32_t>(pixels.bitsStored, 1, pixels.bitsAllocated));
    if (subsampled) {
        // Y Y Cb Cr for each pair of pixels, always interleaved.
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t pair = (i / 2) * 4;
            out.Put(i, luma(values[pair + i % 2], values[pair + 2], values[pair + 3]));
        }
        return out.Take();
    }
    auto sample = [&](std::size_t pixel, std::size_t component) {
        return planar ? values[component * n + pixel] : values[pixel * 3 + component];
    };
    for (std::size_t i = 0; i < n; ++i) out.Put(i, luma(sample(i, 0), sample(i, 1), sample(i, 2)));
    return out.Take();
}

// Layouts on which the library's codecs stop at an assertion: a high bit
// above the stored bits, colour with fewer stored than allocated bits, 32-bit
// samples in JPEG or JPEG-LS, 16-bit YBR_FULL_422 in RLE.
bool LibraryDecodes(Codec codec, const PixelDescription& pixels)
{
    if (pixels.highBit + 1 != pixels.bitsStored) return false;
    if (pixels.samplesPerPixel != 1 && pixels.bitsStored != pixels.bitsAllocated) return false;
    if ((codec == Codec::kJpeg || codec == Codec::kJpegLs) && pixels.bitsAllocated > 16) return false;
    if (codec == Codec::kRle && pixels.bitsAllocated == 16 && pixels.photometric == "YBR_FULL_422")
        return false;
    return true;
}

// The frame count as the library reads it: the leading digits, 1 when absent.
std::optional<long long> FrameCount(const std::string& text)
{
    if (text.empty() || text[0] < '0' || text[0] > '9') return 1;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > (1LL << 40)) return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<DecodedImage> DecodeDicomPixels(const std::uint8_t* data, std::size_t size,
                                              bool walkFoundPixelData, std::uint64_t maxDecodedBytes)
{
    if (data == nullptr || size == 0) return std::nullopt;
    // No true element outgrows the file, no decoded buffer the budget.
    const std::uint64_t most = std::numeric_limits<std::size_t>::max();
    const AllocationCapScope cap(
        static_cast<std::size_t>(maxDecodedBytes >= most - size ? most : maxDecodedBytes + size));
    DicomLayout layout = ScanDicomLayout(data, size);
    const std::string uid = layout.transferSyntax;
    const bool bigEndian = layout.encoding == DataSetEncoding::kExplicitBig;
    if (!layout.consistent) {
        if (RefusedWhenInconsistent(layout)) Refuse(uid);
        return std::nullopt;
    }

    // A deflated data set is inflated and scanned again; pixels then lie in the copy.
    std::vector<std::uint8_t> inflated;
    const std::uint8_t* bytes = data;
    std::size_t byteCount = size;
    if (layout.deflated) {
        std::optional<std::vector<std::uint8_t>> copy = Inflate(
            data, size, layout.dataSetStart, std::min<std::uint64_t>(kMaxInflatedBytes, maxDecodedBytes));
        if (!copy) Refuse(uid);
        inflated = std::move(*copy);
        bytes = inflated.data();
        byteCount = inflated.size();
        layout = ScanDicomLayout(bytes, byteCount, true);
        if (!layout.consistent) Refuse(uid);
    }
    if (!layout.hasPixelData) return std::nullopt;
    const bool needsLibrary = bigEndian || !inflated.empty() || layout.encapsulated;

    PixelDescription pixels;
    pixels.rows = layout.rows;
    pixels.columns = layout.columns;
    pixels.samplesPerPixel = layout.samplesPerPixel == 0 ? 1 : layout.samplesPerPixel;
    pixels.bitsAllocated = layout.bitsAllocated == 0 ? 16 : layout.bitsAllocated;
    pixels.bitsStored = layout.bitsStored == 0 ? pixels.bitsAllocated : layout.bitsStored;
    pixels.highBit = layout.highBit;
    if (pixels.highBit >= pixels.bitsAllocated || pixels.highBit + 1 < pixels.bitsStored)
        pixels.highBit = pixels.bitsStored - 1;
    pixels.isSigned = layout.pixelRepresentation == 1;
    pixels.planar = layout.planarConfiguration == 1;
    pixels.photometric = layout.photometric;

    const bool shownAsStored = pixels.bitsAllocated == 16 && pixels.samplesPerPixel == 1;
    if (!needsLibrary && shownAsStored && walkFoundPixelData) return std::nullopt;

    // From here the viewer cannot show the pixels as stored: pixels that
    // cannot be decoded are refused, never read as the 16-bit words they are
    // not (colour read as words would be nonsense). A gray file whose pixel
    // data the walk did not find loads as it is.
    auto refuse = [&]() -> std::optional<DecodedImage> {
        if (needsLibrary || walkFoundPixelData || pixels.samplesPerPixel != 1) Refuse(uid);
        return std::nullopt;
    };
    const std::optional<long long> frames = FrameCount(layout.numberOfFrames);
    const bool bitmap = pixels.bitsAllocated == 1 && pixels.samplesPerPixel == 1 && !layout.encapsulated;
    const bool supported =
        (pixels.samplesPerPixel == 1 || pixels.samplesPerPixel == 3) &&
        (bitmap || pixels.bitsAllocated == 8 || pixels.bitsAllocated == 16 || pixels.bitsAllocated == 32) &&
        pixels.bitsStored <= pixels.bitsAllocated;
    if (!supported || pixels.rows == 0 || pixels.columns == 0 || !frames || *frames < 1) return refuse();
    pixels.frames = *frames;
    if (static_cast<std::int64_t>(pixels.Pixels()) > kMaxDecodedSamples)
        ThrowFailure(FailureCode::kDecodedImageTooLarge);
    const bool subsampled = HalfChroma(pixels.photometric) && !layout.encapsulated;
    // Stored colour needs an interpretation of its own samples: the JPEG 2000
    // transforms and 4:2:0 chroma exist only inside compressed streams.
    if (!layout.encapsulated && pixels.samplesPerPixel == 3 &&
        (pixels.photometric == "YBR_RCT" || pixels.photometric == "YBR_ICT" ||
         pixels.photometric == "YBR_PARTIAL_420"))
        return refuse();
    std::size_t frameBytes = pixels.Pixels() * pixels.samplesPerPixel * pixels.BytesPerSample();
    if (subsampled) frameBytes = (pixels.Pixels() + 1) / 2 * 4 * pixels.BytesPerSample();
    if (bitmap) frameBytes = (pixels.Pixels() + 7) / 8;
    const Codec codec = CodecOf(uid);
    CheckDecodeBudget(DecodeBytesNeeded(pixels.Pixels(), pixels.samplesPerPixel, pixels.bitsAllocated, codec,
                                        layout.encapsulated, inflated.size()),
                      maxDecodedBytes);

    DecodedImage image;
    image.transferSyntax = uid;
    image.columns = static_cast<std::int32_t>(pixels.columns);
    image.rows = static_cast<std::int32_t>(pixels.rows);
    image.frames = pixels.frames;
    image.colourToGray = pixels.samplesPerPixel == 3;
    image.signedSamples = pixels.isSigned && pixels.samplesPerPixel == 1;

    if (!layout.encapsulated) {
        // Every declared frame must be in the file; the first is shown.
        if (static_cast<unsigned long long>(pixels.frames) > layout.pixelLength / frameBytes) return refuse();
        image.words = GrayWords(bytes + layout.pixelOffset, pixels, pixels.photometric, pixels.planar,
                                bigEndian, subsampled);
    } else {
        if (codec == Codec::kOther || !LibraryDecodes(codec, pixels)) Refuse(uid);
        const Fragments frame = FirstFrame(layout, bytes, pixels.frames);
        if (frame.empty() || !StreamMatches(codec,
                                            DeclaredImage{pixels.rows, pixels.columns, pixels.samplesPerPixel,
                                                          pixels.bitsAllocated},
                                            frame))
            Refuse(uid);
        SilenceLibraryMessages();
        std::vector<std::uint8_t> samples(frameBytes);
        std::string photometric;
        bool planar = false;
        bool decoded = false;
        try {
            decoded = DecodeFrame(uid, pixels, frame, samples, photometric, planar);
        } catch (...) {
            decoded = false;
        }
        if (!decoded) Refuse(uid);
        if (ShownAsDecoded(pixels))
            image.words = std::move(samples);
        else
            image.words = GrayWords(samples.data(), pixels, photometric, planar, false, false);
    }
    if (!walkFoundPixelData && !layout.unknownVr && !layout.tagsOutOfOrder) {
        SilenceLibraryMessages();
        image.elements = ContainedLibraryElements(data, size);
    }
    return image;
}

}  // namespace radmtf
