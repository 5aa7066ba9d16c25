#include "dicom/decode_protocol.h"

#include <cstring>

namespace radmtf {

namespace {

constexpr char kRequestMagic[8] = {'R', 'M', 'T', 'F', 'D', 'E', 'C', '1'};
constexpr char kReplyMagic[8] = {'R', 'M', 'T', 'F', 'R', 'E', 'P', '1'};
enum ReplyKind : std::uint8_t { kReplyFailure = 1, kReplyAsStored = 2, kReplyImage = 3 };

// Arguments, transfer syntaxes and listed element values are short.
constexpr std::uint64_t kMaxText = std::uint64_t{1} << 20;
constexpr std::uint64_t kMaxElements = std::uint64_t{1} << 22;

class Writer {
public:
    void U8(std::uint8_t v) { bytes.push_back(v); }
    void U64(std::uint64_t v)
    {
        for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void Text(const std::string& s)
    {
        U64(s.size());
        bytes.insert(bytes.end(), s.begin(), s.end());
    }
    std::vector<std::uint8_t> bytes;
};

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : p_(data), n_(size) {}
    bool U8(std::uint8_t& v)
    {
        if (n_ - at_ < 1) return false;
        v = p_[at_++];
        return true;
    }
    bool U64(std::uint64_t& v)
    {
        if (n_ - at_ < 8) return false;
        v = 0;
        for (int i = 7; i >= 0; --i) v = (v << 8) | p_[at_ + static_cast<std::size_t>(i)];
        at_ += 8;
        return true;
    }
    bool Bytes(std::uint64_t count, const std::uint8_t*& where)
    {
        if (count > n_ - at_) return false;
        where = p_ + at_;
        at_ += static_cast<std::size_t>(count);
        return true;
    }
    bool Text(std::string& s, std::uint64_t limit = kMaxText)
    {
        std::uint64_t length = 0;
        const std::uint8_t* where = nullptr;
        if (!U64(length) || length > limit || !Bytes(length, where)) return false;
        s.assign(reinterpret_cast<const char*>(where), static_cast<std::size_t>(length));
        return true;
    }
    bool AtEnd() const { return at_ == n_; }

private:
    const std::uint8_t* p_;
    std::size_t n_;
    std::size_t at_ = 0;
};

}  // namespace

std::string TransferSyntaxDescription(const std::string& transferSyntax)
{
    struct Name {
        const char* uid;
        const char* name;
    };
    static constexpr Name kNames[] = {
        {"1.2.840.10008.1.2.2", "Explicit VR Big Endian"},
        {"1.2.840.10008.1.2.1.99", "Deflated Explicit VR Little Endian"},
        {"1.2.840.10008.1.2.4.50", "JPEG Baseline"},
        {"1.2.840.10008.1.2.4.51", "JPEG Extended"},
        {"1.2.840.10008.1.2.4.57", "JPEG Lossless"},
        {"1.2.840.10008.1.2.4.70", "JPEG Lossless SV1"},
        {"1.2.840.10008.1.2.4.80", "JPEG-LS Lossless"},
        {"1.2.840.10008.1.2.4.81", "JPEG-LS Near-Lossless"},
        {"1.2.840.10008.1.2.4.90", "JPEG 2000 Lossless"},
        {"1.2.840.10008.1.2.4.91", "JPEG 2000"},
        {"1.2.840.10008.1.2.5", "RLE Lossless"},
    };
    std::string text = transferSyntax;
    for (const Name& entry : kNames)
        if (transferSyntax == entry.uid) text += std::string(" (") + entry.name + ")";
    return text;
}

std::vector<std::uint8_t> DecodeRequestHeader(const DecodeRequest& request, std::uint64_t fileSize)
{
    Writer w;
    w.bytes.assign(kRequestMagic, kRequestMagic + 8);
    w.U64(request.maxDecodedBytes);
    w.U64(fileSize);
    w.U8(request.walkFoundPixelData ? 1 : 0);
    w.bytes.resize(kDecodeRequestHeaderSize, 0);
    return w.bytes;
}

std::optional<std::pair<DecodeRequest, std::uint64_t>> ParseDecodeRequestHeader(const std::uint8_t* data,
                                                                                std::size_t size)
{
    if (size < kDecodeRequestHeaderSize || std::memcmp(data, kRequestMagic, 8) != 0) return std::nullopt;
    Reader r(data + 8, size - 8);
    DecodeRequest request;
    std::uint64_t fileSize = 0;
    std::uint8_t walk = 0;
    if (!r.U64(request.maxDecodedBytes) || !r.U64(fileSize) || !r.U8(walk) || walk > 1) return std::nullopt;
    request.walkFoundPixelData = walk == 1;
    return std::pair{request, fileSize};
}

std::vector<std::uint8_t> EncodeDecodeStart(const DecodeStart& start)
{
    Writer w;
    w.U64(start.addressSpace);
    w.U64(start.cpuSeconds);
    w.U64(start.replyBytes);
    w.U8(start.testFault);
    w.bytes.resize(kDecodeStartSize, 0);
    return w.bytes;
}

std::optional<DecodeStart> ParseDecodeStart(const std::uint8_t* data, std::size_t size)
{
    Reader r(data, size);
    DecodeStart start;
    if (size != kDecodeStartSize || !r.U64(start.addressSpace) || !r.U64(start.cpuSeconds) ||
        !r.U64(start.replyBytes) || !r.U8(start.testFault))
        return std::nullopt;
    return start;
}

std::vector<std::uint8_t> EncodeDecodeReply(const DecodeReply& reply, bool withWords)
{
    Writer w;
    w.bytes.assign(kReplyMagic, kReplyMagic + 8);
    if (reply.failure) {
        w.U8(kReplyFailure);
        w.U64(static_cast<std::uint64_t>(reply.failure->code()));
        w.U64(reply.failure->args().size());
        for (const std::string& arg : reply.failure->args()) w.Text(arg);
        return w.bytes;
    }
    if (!reply.image) {
        w.U8(kReplyAsStored);
        return w.bytes;
    }
    const DecodedImage& image = *reply.image;
    w.U8(kReplyImage);
    w.U64(static_cast<std::uint64_t>(image.columns));
    w.U64(static_cast<std::uint64_t>(image.rows));
    w.U64(static_cast<std::uint64_t>(image.frames));
    w.U8(image.colourToGray ? 1 : 0);
    w.U8(image.signedSamples ? 1 : 0);
    w.Text(image.transferSyntax);
    w.U64(image.elements.size());
    for (const DicomElement& e : image.elements) {
        w.U64(e.group);
        w.U64(e.number);
        w.Text(e.vr);
        w.U64(e.lengthField);
        w.Text(e.value);
        w.U8(e.sequence ? 1 : 0);
    }
    w.U64(image.words.size());
    if (withWords) w.bytes.insert(w.bytes.end(), image.words.begin(), image.words.end());
    return w.bytes;
}

std::optional<DecodeReply> ParseDecodeReply(const std::uint8_t* data, std::size_t size,
                                            std::uint64_t maxDecodedBytes)
{
    if (size < 9 || std::memcmp(data, kReplyMagic, 8) != 0) return std::nullopt;
    Reader r(data + 8, size - 8);
    std::uint8_t kind = 0;
    r.U8(kind);
    DecodeReply reply;
    if (kind == kReplyFailure) {
        std::uint64_t code = 0, count = 0;
        if (!r.U64(code) || code >= static_cast<std::uint64_t>(kFailureCodeCount) || !r.U64(count) ||
            count > 8)
            return std::nullopt;
        std::vector<std::string> args(static_cast<std::size_t>(count));
        for (std::string& arg : args)
            if (!r.Text(arg)) return std::nullopt;
        reply.failure = Failure(static_cast<FailureCode>(code), std::move(args));
        return r.AtEnd() ? std::optional(std::move(reply)) : std::nullopt;
    }
    if (kind == kReplyAsStored) return r.AtEnd() ? std::optional(std::move(reply)) : std::nullopt;
    if (kind != kReplyImage) return std::nullopt;
    DecodedImage image;
    std::uint64_t columns = 0, rows = 0, frames = 0, elementCount = 0;
    std::uint8_t colour = 0, signedSamples = 0;
    if (!r.U64(columns) || !r.U64(rows) || !r.U64(frames) || !r.U8(colour) || !r.U8(signedSamples) ||
        !r.Text(image.transferSyntax) || !r.U64(elementCount))
        return std::nullopt;
    if (columns == 0 || rows == 0 || columns > 65535 || rows > 65535 || frames == 0 ||
        frames > (1ull << 40) || colour > 1 || signedSamples > 1 || elementCount > kMaxElements ||
        rows * columns > std::uint64_t(kMaxDecodedSamples))
        return std::nullopt;
    image.columns = static_cast<std::int32_t>(columns);
    image.rows = static_cast<std::int32_t>(rows);
    image.frames = static_cast<long long>(frames);
    image.colourToGray = colour == 1;
    image.signedSamples = signedSamples == 1;
    for (std::uint64_t i = 0; i < elementCount; ++i) {
        DicomElement e;
        std::uint64_t group = 0, number = 0, lengthField = 0;
        std::uint8_t sequence = 0;
        if (!r.U64(group) || group > 0xFFFF || !r.U64(number) || number > 0xFFFF || !r.Text(e.vr, 2) ||
            !r.U64(lengthField) || lengthField > 0xFFFF || !r.Text(e.value) || !r.U8(sequence) ||
            sequence > 1)
            return std::nullopt;
        e.group = static_cast<std::uint16_t>(group);
        e.number = static_cast<std::uint16_t>(number);
        e.lengthField = static_cast<std::uint16_t>(lengthField);
        e.sequence = sequence == 1;
        image.elements.push_back(std::move(e));
    }
    std::uint64_t wordBytes = 0;
    const std::uint8_t* words = nullptr;
    if (!r.U64(wordBytes) || wordBytes != rows * columns * 2 || wordBytes > maxDecodedBytes ||
        !r.Bytes(wordBytes, words) || !r.AtEnd())
        return std::nullopt;
    image.words.assign(words, words + wordBytes);
    reply.image = std::move(image);
    return reply;
}

std::uint64_t DecodeBytesNeeded(std::uint64_t pixels, std::uint32_t samplesPerPixel,
                                std::uint32_t bitsAllocated, Codec codec, bool encapsulated,
                                std::uint64_t inflatedBytes)
{
    const std::uint64_t samples = pixels * samplesPerPixel;
    const std::uint64_t frameBytes =
        bitsAllocated == 1 ? (pixels + 7) / 8 : samples * ((bitsAllocated + 7) / 8);
    std::uint64_t needed = frameBytes + pixels * 2 + inflatedBytes;
    if (!encapsulated) return needed;
    // The library's codecs decode into a stream of their own, which is
    // copied into the frame: two more copies at their peak. JPEG 2000
    // keeps each sample as a 32-bit integer in its image and again in its
    // tiles, and a third time while it decodes code blocks.
    needed += 2 * frameBytes;
    if (codec == Codec::kJpeg2000) needed += 12 * samples;
    return needed;
}

void CheckDecodeBudget(std::uint64_t needed, std::uint64_t maxDecodedBytes)
{
    constexpr std::uint64_t kMb = std::uint64_t{1} << 20;
    if (needed > maxDecodedBytes)
        ThrowFailure(FailureCode::kDecodeBudgetExceeded,
                     {std::to_string((needed + kMb - 1) / kMb), std::to_string(maxDecodedBytes / kMb)});
}

}  // namespace radmtf
