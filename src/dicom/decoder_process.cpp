#include "dicom/decoder_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "core/file_bytes.h"
#include "dicom/dicom_layout.h"

extern char** environ;

namespace radmtf {

namespace {

std::atomic<std::uint64_t> requestsSent{0};

constexpr std::size_t kMaxMessageBytes = 64 * 1024;
// Room for the program, the libraries it maps and their own allocations.
constexpr std::uint64_t kAddressSpaceMargin = std::uint64_t{512} << 20;

// The decoder beside the program (an installed or built radmtf, a test);
// the build's own copy for programs elsewhere in the build tree.
std::string DecoderProgram()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path beside = self.parent_path() / "radmtf-decode";
        if (std::filesystem::is_regular_file(beside, error)) return beside.string();
    }
    return RADMTF_DECODER_BUILD_PATH;
}

std::uint64_t HalfTheMemory()
{
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return std::uint64_t{4} << 30;
    return std::uint64_t(pages) * std::uint64_t(pageSize) / 2;
}

void CloseFd(int& fd)
{
    if (fd >= 0) close(fd);
    fd = -1;
}

// Waits for the child; kills it when `deadline` passes first. The exit status,
// or nothing when it had to be killed.
std::optional<int> Reap(pid_t pid, std::chrono::steady_clock::time_point deadline)
{
    while (true) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return status;
        if (done < 0 && errno != EINTR) return -1;
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// A decoder process waiting for its request: request and reply files in
// memory (its standard input and output), the stream that starts it (its
// descriptor 3, a socket so that a dead process means EPIPE, never
// SIGPIPE) and its standard error.
struct Decoder {
    pid_t pid = -1;
    int request = -1, reply = -1, go = -1, errors = -1;
};

void Close(Decoder& d)
{
    for (int* fd : {&d.request, &d.reply, &d.go, &d.errors}) CloseFd(*fd);
}

// Starts a decoder; nothing when it cannot be started.
std::optional<Decoder> StartDecoder()
{
    Decoder d;
    int go[2] = {-1, -1}, errors[2] = {-1, -1};
    d.request = memfd_create("radmtf-decode-request", MFD_CLOEXEC);
    d.reply = memfd_create("radmtf-decode-reply", MFD_CLOEXEC);
    const bool made = d.request >= 0 && d.reply >= 0 &&
                      socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, go) == 0 &&
                      pipe2(errors, O_CLOEXEC) == 0;
    d.go = go[0];
    d.errors = errors[0];
    if (!made) {
        for (int* fd : {&go[1], &errors[1]}) CloseFd(*fd);
        Close(d);
        return std::nullopt;
    }
    // posix_spawn is safe beside the worker threads; the child gets only its
    // four descriptors, default signal handling and no blocked signals.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, d.request, 0);
    posix_spawn_file_actions_adddup2(&actions, d.reply, 1);
    posix_spawn_file_actions_adddup2(&actions, errors[1], 2);
    posix_spawn_file_actions_adddup2(&actions, go[1], 3);
    posix_spawn_file_actions_addclosefrom_np(&actions, 4);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (const int signal : {SIGPIPE, SIGXFSZ, SIGXCPU}) sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    // Huge pages for the decoder's large buffers: a fresh process faults in
    // every page it touches, tens of thousands for one frame otherwise.
    std::vector<std::string> environment;
    std::string tunables = "GLIBC_TUNABLES=glibc.malloc.hugetlb=1";
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        if (text.rfind("GLIBC_TUNABLES=", 0) == 0)
            tunables = std::string(text) + ":glibc.malloc.hugetlb=1";
        else
            environment.emplace_back(text);
    }
    environment.push_back(tunables);
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string program = DecoderProgram();
    char* argv[] = {program.data(), nullptr};
    const int spawned = posix_spawn(&d.pid, program.c_str(), &actions, &attributes, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    CloseFd(go[1]);
    CloseFd(errors[1]);
    if (spawned != 0) {
        Close(d);
        return std::nullopt;
    }
    return d;
}

// One decoder is kept started ahead of the next file that needs it, so that
// the program's start and the loading of its libraries are paid while the
// user looks at the last image.
std::mutex spareMutex;
std::optional<Decoder> spare;

}  // namespace

std::uint64_t DecoderRequestsSent()
{
    return requestsSent.load();
}

std::string PrefixedLines(const std::string& prefix, const std::string& text)
{
    std::string out;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart) out += prefix + ": ";
        lineStart = c == '\n';
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\n') || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    if (!lineStart) out += '\n';
    return out;
}

std::optional<DecodedImage> DecodeInChild(const std::uint8_t* data, std::size_t size, bool walkFoundPixelData,
                                          const DecodeOptions& options,
                                          std::optional<std::uint64_t> neededBytes)
{
    const auto refusal = [&](FailureCode code) {
        std::vector<std::string> args{options.fileName,
                                      TransferSyntaxDescription(ScanDicomLayout(data, size).transferSyntax)};
        if (code == FailureCode::kDecoderTimedOut) args.push_back(std::to_string(options.timeoutSeconds));
        return Failure(code, std::move(args));
    };
    DecodeStart start;
    const std::uint64_t working =
        neededBytes ? 4 * std::min(*neededBytes, options.maxDecodedBytes) : 2 * options.maxDecodedBytes;
    start.addressSpace = std::min(HalfTheMemory(), kAddressSpaceMargin + working + 3 * std::uint64_t(size));
    start.cpuSeconds = static_cast<std::uint64_t>(options.timeoutSeconds) + 1;
    // Words within the budget, the element list and the reply's own fields.
    start.replyBytes = options.maxDecodedBytes + (std::uint64_t{64} << 20);
    if (const char* fault = std::getenv("RADMTF_DECODER_TEST_FAULT")) {
        const std::string_view name(fault);
        start.testFault = name == "abort" ? 1 : name == "hang" ? 2 : name == "talk" ? 3 : 0;
    }
    const std::vector<std::uint8_t> header =
        DecodeRequestHeader(DecodeRequest{options.maxDecodedBytes, walkFoundPixelData}, size);
    const std::vector<std::uint8_t> go = EncodeDecodeStart(start);

    // The waiting decoder, or a new one when there is none or it has died.
    Decoder d;
    bool started = false;
    for (int attempt = 0; attempt < 2 && !started; ++attempt) {
        if (attempt == 0) {
            const std::lock_guard lock(spareMutex);
            if (spare) d = *std::exchange(spare, std::nullopt);
        }
        if (d.pid < 0) {
            const std::optional<Decoder> fresh = StartDecoder();
            if (!fresh) ThrowFailure(FailureCode::kCannotOpen, {DecoderProgram()});
            d = *fresh;
        }
        started = WriteAll(d.request, header.data(), header.size()) && WriteAll(d.request, data, size) &&
                  send(d.go, go.data(), go.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(go.size());
        if (!started) {
            kill(d.pid, SIGKILL);
            Reap(d.pid, std::chrono::steady_clock::now());
            Close(d);
            d = Decoder{};
        }
    }
    if (!started) ThrowFailure(FailureCode::kOutOfMemory);
    ++requestsSent;
    // The next file's decoder starts once this one has ended.
    struct Next {
        Decoder& d;
        ~Next()
        {
            Close(d);
            const std::lock_guard lock(spareMutex);
            if (!spare) spare = StartDecoder();
        }
    } next{d};

    // The messages until the decoder ends (its stream closes), then its end.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
    std::string messages;
    while (d.errors >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd waiting{d.errors, POLLIN, 0};
        const int ready = poll(&waiting, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;
        char buffer[4096];
        const ssize_t n = read(d.errors, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        messages.append(
            buffer, std::min(std::size_t(n), kMaxMessageBytes - std::min(kMaxMessageBytes, messages.size())));
    }
    const std::optional<int> status = Reap(d.pid, deadline);
    if (options.libraryMessages) *options.libraryMessages = messages;
    if (!status) throw refusal(FailureCode::kDecoderTimedOut);
    if (!WIFEXITED(*status) || WEXITSTATUS(*status) != 0) throw refusal(FailureCode::kDecoderStopped);

    struct stat written {};
    if (fstat(d.reply, &written) != 0 || written.st_size <= 0 ||
        std::uint64_t(written.st_size) > start.replyBytes)
        throw refusal(FailureCode::kDecoderStopped);
    const auto length = static_cast<std::size_t>(written.st_size);
    void* mapped = mmap(nullptr, length, PROT_READ, MAP_PRIVATE | MAP_POPULATE, d.reply, 0);
    if (mapped == MAP_FAILED) throw refusal(FailureCode::kDecoderStopped);
    std::optional<DecodeReply> answer =
        ParseDecodeReply(static_cast<const std::uint8_t*>(mapped), length, options.maxDecodedBytes);
    munmap(mapped, length);
    if (!answer) throw refusal(FailureCode::kDecoderStopped);
    if (answer->failure) throw *answer->failure;
    return std::move(answer->image);
}

}  // namespace radmtf
