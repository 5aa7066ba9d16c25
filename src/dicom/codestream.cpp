#include "dicom/codestream.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace radmtf {

namespace {

std::uint32_t Big16(const std::uint8_t* p)
{
    return (std::uint32_t{p[0]} << 8) | p[1];
}
std::uint32_t Big32(const std::uint8_t* p)
{
    return (Big16(p) << 16) | Big16(p + 2);
}

// Size, components and precision as the compressed stream itself declares them.
struct StreamHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t components = 0;
    std::uint32_t precision = 0;
};

// The frame header of a JPEG or JPEG-LS stream, from a clean run of marker
// segments up to the first scan. The library's JPEG decoder asserts on any
// warning while it reads that part (stray bytes, a foreign JFIF version, an
// unknown Adobe colour transform, a stream that ends early), so such streams
// never reach it.
std::optional<StreamHeader> JpegHeader(const std::uint8_t* p, std::size_t n)
{
    if (n < 4 || p[0] != 0xFF || p[1] != 0xD8) return std::nullopt;
    std::optional<StreamHeader> frame;
    std::size_t pos = 2;
    while (pos < n) {
        if (p[pos] != 0xFF) return std::nullopt;
        while (pos < n && p[pos] == 0xFF) ++pos;
        if (pos >= n) return std::nullopt;
        const std::uint8_t marker = p[pos++];
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9)) return std::nullopt;
        if (n - pos < 2) return std::nullopt;
        const std::size_t length = Big16(p + pos);
        if (length < 2 || length > n - pos) return std::nullopt;
        const std::uint8_t* segment = p + pos + 2;
        const std::size_t size = length - 2;
        const bool frameHeader =
            (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) ||
            marker == 0xF7;
        if (frameHeader) {
            if (frame || size < 6) return std::nullopt;
            frame = StreamHeader{Big16(segment + 3), Big16(segment + 1), segment[5], segment[0]};
        }
        if (marker == 0xE0 && size >= 6 && std::memcmp(segment, "JFIF\0", 5) == 0 && segment[5] != 1)
            return std::nullopt;
        if (marker == 0xEE && size >= 12 && std::memcmp(segment, "Adobe", 5) == 0 && segment[11] > 1)
            return std::nullopt;
        if (marker == 0xDA) return frame;  // the first scan
        pos += length;
    }
    return std::nullopt;
}

// The image size, components and precision that the SIZ marker segment of a
// bare JPEG 2000 code stream declares (ISO/IEC 15444-1 A.5.1).
std::optional<StreamHeader> CodestreamHeader(const std::uint8_t* s, std::size_t n)
{
    if (n < 42 || Big16(s) != 0xFF4F || Big16(s + 2) != 0xFF51) return std::nullopt;
    const std::uint32_t length = Big16(s + 4);
    const std::uint32_t xsiz = Big32(s + 8), ysiz = Big32(s + 12), xo = Big32(s + 16), yo = Big32(s + 20);
    const std::uint32_t tileWidth = Big32(s + 24), tileHeight = Big32(s + 28);
    const std::uint32_t components = Big16(s + 40);
    if (xo >= xsiz || yo >= ysiz || tileWidth == 0 || tileHeight == 0 || components == 0) return std::nullopt;
    if (length != 38 + 3 * components || n - 4 < length) return std::nullopt;
    std::uint32_t precision = 0;
    for (std::uint32_t c = 0; c < components; ++c) {
        const std::uint8_t* component = s + 42 + 3 * c;
        precision = std::max<std::uint32_t>(precision, (component[0] & 0x7Fu) + 1);
        if (component[1] != 1 || component[2] != 1) return std::nullopt;  // subsampled components
    }
    return StreamHeader{xsiz - xo, ysiz - yo, components, precision};
}

// One box of a JP2 file (ISO/IEC 15444-1 I.4): its type and contents. A
// length of 1 is followed by a 64-bit length, 0 runs to the end.
struct Box {
    std::uint32_t type = 0;
    std::size_t contentStart = 0;
    std::size_t end = 0;
};

std::optional<Box> BoxAt(const std::uint8_t* p, std::size_t n, std::size_t at)
{
    if (n - at < 8) return std::nullopt;
    Box box;
    const std::uint64_t length = Big32(p + at);
    box.type = Big32(p + at + 4);
    box.contentStart = at + 8;
    std::uint64_t total = length;
    if (length == 1) {
        if (n - at < 16) return std::nullopt;
        total = (std::uint64_t{Big32(p + at + 8)} << 32) | Big32(p + at + 12);
        box.contentStart = at + 16;
    } else if (length == 0) {
        total = n - at;
    }
    if (total < box.contentStart - at || total > n - at) {
        // Only the code stream may run on into the next fragments.
        if (box.type != 0x6A703263 || total < box.contentStart - at) return std::nullopt;
        total = n - at;
    }
    box.end = at + static_cast<std::size_t>(total);
    return box;
}

// The code stream's header of a JPEG 2000 stream, bare or in a JP2 file. A
// JP2 file's boxes are walked to its code stream (jp2c), whose SIZ must
// agree with the image header box (ihdr); a palette (pclr) or component
// mapping (cmap) would change the components the decoder delivers.
std::optional<StreamHeader> Jpeg2000Header(const std::uint8_t* p, std::size_t n)
{
    if (n >= 4 && Big16(p) == 0xFF4F) return CodestreamHeader(p, n);
    constexpr std::uint32_t kSignature = 0x6A502020, kHeader = 0x6A703268, kImageHeader = 0x69686472,
                            kPalette = 0x70636C72, kMapping = 0x636D6170, kCodestream = 0x6A703263;
    std::optional<StreamHeader> declared;
    bool first = true;
    for (std::size_t at = 0; at < n;) {
        const std::optional<Box> box = BoxAt(p, n, at);
        if (!box || (first && box->type != kSignature)) return std::nullopt;
        first = false;
        if (box->type == kHeader) {
            for (std::size_t inner = box->contentStart; inner < box->end;) {
                const std::optional<Box> child = BoxAt(p, box->end, inner);
                if (!child || child->type == kPalette || child->type == kMapping) return std::nullopt;
                if (child->type == kImageHeader) {
                    if (declared || child->end - child->contentStart != 14) return std::nullopt;
                    const std::uint8_t* h = p + child->contentStart;
                    declared = StreamHeader{Big32(h + 4), Big32(h), Big16(h + 8), (h[10] & 0x7Fu) + 1u};
                }
                inner = child->end;
            }
        }
        if (box->type == kCodestream) {
            const std::optional<StreamHeader> stream =
                CodestreamHeader(p + box->contentStart, n - box->contentStart);
            if (!stream || !declared || stream->width != declared->width ||
                stream->height != declared->height || stream->components != declared->components)
                return std::nullopt;
            return stream;
        }
        at = box->end;
    }
    return std::nullopt;
}

}  // namespace

Codec CodecOf(const std::string& uid)
{
    if (uid == "1.2.840.10008.1.2.5") return Codec::kRle;
    if (uid == "1.2.840.10008.1.2.4.80" || uid == "1.2.840.10008.1.2.4.81") return Codec::kJpegLs;
    if (uid == "1.2.840.10008.1.2.4.90" || uid == "1.2.840.10008.1.2.4.91" ||
        uid == "1.2.840.10008.1.2.4.92" || uid == "1.2.840.10008.1.2.4.93")
        return Codec::kJpeg2000;
    if (uid.rfind("1.2.840.10008.1.2.4.", 0) == 0) {
        const std::string rest = uid.substr(20);
        const int process = std::atoi(rest.c_str());
        if (process >= 50 && process <= 70) return Codec::kJpeg;
    }
    return Codec::kOther;
}

bool StreamMatches(Codec codec, const DeclaredImage& pixels, const Fragments& frame)
{
    const std::span<const std::uint8_t> stream = frame.front();
    if (codec == Codec::kRle) {
        if (frame.size() != 1 || stream.size() < 64) return false;
        const std::uint32_t segments =
            stream[0] | (stream[1] << 8) | (stream[2] << 16) | (std::uint32_t{stream[3]} << 24);
        if (segments != pixels.samplesPerPixel * (pixels.bitsAllocated / 8)) return false;
        for (std::uint32_t i = 0; i < segments; ++i) {
            const std::uint8_t* q = stream.data() + 4 + 4 * i;
            const std::uint32_t offset = q[0] | (q[1] << 8) | (q[2] << 16) | (std::uint32_t{q[3]} << 24);
            if (offset < 64 || offset >= stream.size()) return false;
        }
        return true;
    }
    // A stream cut short would be decoded padded with gray: it must end with
    // its end-of-image marker (FF D9 in JPEG, JPEG-LS and JPEG 2000 alike),
    // before any padding bytes.
    const std::span<const std::uint8_t> last = frame.back();
    std::size_t end = last.size();
    while (end > 0 && (last[end - 1] == 0 || last[end - 1] == 0xFF)) --end;
    if (end < 2 || last[end - 2] != 0xFF || last[end - 1] != 0xD9) return false;
    std::optional<StreamHeader> header;
    if (codec == Codec::kJpeg || codec == Codec::kJpegLs) header = JpegHeader(stream.data(), stream.size());
    if (codec == Codec::kJpeg2000) header = Jpeg2000Header(stream.data(), stream.size());
    return header && header->width == pixels.columns && header->height == pixels.rows &&
           header->components == pixels.samplesPerPixel && header->precision >= 1 &&
           header->precision <= pixels.bitsAllocated;
}

}  // namespace radmtf
