#include "dicom/decoder_child.h"

#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <new>
#include <string>

#include "core/file_bytes.h"

namespace radmtf {

namespace {

bool ReadAll(int fd, std::uint8_t* to, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = read(fd, to, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        to += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void Limit(int resource, std::uint64_t value)
{
    const rlimit limit{static_cast<rlim_t>(value), static_cast<rlim_t>(value)};
    setrlimit(resource, &limit);
}

// Faults the tests provoke in the decoder process itself.
void TestFault(std::uint8_t fault)
{
    if (fault == 1) std::abort();
    if (fault == 2)
        while (true) pause();
    if (fault == 3) {
        static const char kMessage[] = "Corrupt JPEG data: \x1b[31m2 extraneous bytes\nbefore marker 0xd9\n";
        WriteAll(2, reinterpret_cast<const std::uint8_t*>(kMessage), sizeof kMessage - 1);
    }
}

}  // namespace

std::vector<std::uint8_t> AnswerDecodeRequest(const std::uint8_t* file, std::size_t size,
                                              const DecodeRequest& request)
{
    DecodeReply reply;
    try {
        reply.image = DecodeDicomPixels(file, size, request.walkFoundPixelData, request.maxDecodedBytes);
    } catch (const Failure& failure) {
        reply.failure = failure;
    }
    return EncodeDecodeReply(reply);
}

int RunDecoderProcess()
{
    try {
        // Started ahead of its request, the process waits for it here; the
        // program's end closes the stream.
        std::uint8_t go[kDecodeStartSize];
        if (!ReadAll(3, go, sizeof go)) return 0;
        const std::optional<DecodeStart> start = ParseDecodeStart(go, sizeof go);
        if (!start) return 2;
#ifndef __SANITIZE_ADDRESS__
        // AddressSanitizer reserves terabytes of shadow address space, so
        // under it the byte budget alone bounds the decoder.
        Limit(RLIMIT_AS, start->addressSpace);
#endif
        Limit(RLIMIT_CPU, start->cpuSeconds);
        Limit(RLIMIT_FSIZE, start->replyBytes);
        std::uint8_t header[kDecodeRequestHeaderSize];
        if (pread(0, header, sizeof header, 0) != static_cast<ssize_t>(sizeof header)) return 2;
        const auto request = ParseDecodeRequestHeader(header, sizeof header);
        if (!request) return 2;
        // The request is a file in memory: mapped rather than copied.
        const auto size = static_cast<std::size_t>(request->second);
        std::vector<std::uint8_t> copy;
        const std::uint8_t* file = nullptr;
        void* mapped = size == 0 ? MAP_FAILED
                                 : mmap(nullptr, kDecodeRequestHeaderSize + size, PROT_READ,
                                        MAP_PRIVATE | MAP_POPULATE, 0, 0);
        if (mapped != MAP_FAILED) {
            file = static_cast<const std::uint8_t*>(mapped) + kDecodeRequestHeaderSize;
        } else {
            copy.resize(size);
            if (size > 0 &&
                pread(0, copy.data(), size, kDecodeRequestHeaderSize) != static_cast<ssize_t>(size))
                return 2;
            file = copy.data();
        }
        TestFault(start->testFault);
        DecodeReply reply;
        try {
            reply.image = DecodeDicomPixels(file, size, request->first.walkFoundPixelData,
                                            request->first.maxDecodedBytes);
        } catch (const Failure& failure) {
            reply.failure = failure;
        }
        const std::vector<std::uint8_t> head = EncodeDecodeReply(reply, false);
        const bool written =
            WriteAll(1, head.data(), head.size()) &&
            (!reply.image || WriteAll(1, reply.image->words.data(), reply.image->words.size()));
        return written ? 0 : 2;
    } catch (const std::bad_alloc&) {
        return 3;
    }
}

}  // namespace radmtf
