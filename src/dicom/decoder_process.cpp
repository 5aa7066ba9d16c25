#include "dicom/decoder_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <thread>
#include <vector>

#include "dicom/dicom_layout.h"

extern char** environ;

namespace radmtf {

namespace {

std::atomic<std::uint64_t> processesStarted{0};

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

bool WriteAll(int fd, const std::uint8_t* from, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, from, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        from += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void CloseFd(int& fd)
{
    if (fd >= 0) close(fd);
    fd = -1;
}

// The file descriptors of one child, closed whatever happens.
struct ChildFds {
    int input = -1, output = -1, errors = -1;
    ~ChildFds()
    {
        CloseFd(input);
        CloseFd(output);
        CloseFd(errors);
    }
};

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
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

}  // namespace

std::uint64_t DecoderProcessesStarted()
{
    return processesStarted.load();
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
    const std::uint64_t working =
        neededBytes ? 4 * std::min(*neededBytes, options.maxDecodedBytes) : 2 * options.maxDecodedBytes;
    const std::uint64_t addressSpace =
        std::min(HalfTheMemory(), kAddressSpaceMargin + working + 3 * std::uint64_t(size));
    // Words within the budget, the element list and the reply's own fields.
    const std::uint64_t replyLimit = options.maxDecodedBytes + (std::uint64_t{64} << 20);
    const std::string program = DecoderProgram();
    const std::string limit = std::to_string(addressSpace), reply = std::to_string(replyLimit);
    const std::string seconds = std::to_string(options.timeoutSeconds + 1);
    std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>("--address-space"),
                            const_cast<char*>(limit.c_str()),   const_cast<char*>("--reply-bytes"),
                            const_cast<char*>(reply.c_str()),   const_cast<char*>("--cpu-seconds"),
                            const_cast<char*>(seconds.c_str()), nullptr};

    // Request and reply are files in memory, written and read whole without
    // a pipe's round trips (a decoded frame is tens of megabytes); the
    // decoder's messages come through a pipe.
    ChildFds fds;
    fds.input = memfd_create("radmtf-decode-request", MFD_CLOEXEC);
    fds.output = memfd_create("radmtf-decode-reply", MFD_CLOEXEC);
    int errors[2] = {-1, -1};
    if (fds.input < 0 || fds.output < 0 || pipe2(errors, O_CLOEXEC) != 0)
        ThrowFailure(FailureCode::kOutOfMemory);
    fds.errors = errors[0];
    int childErrors = errors[1];
    const std::vector<std::uint8_t> header =
        DecodeRequestHeader(DecodeRequest{options.maxDecodedBytes, walkFoundPixelData}, size);
    if (!WriteAll(fds.input, header.data(), header.size()) || !WriteAll(fds.input, data, size) ||
        lseek(fds.input, 0, SEEK_SET) != 0) {
        CloseFd(childErrors);
        ThrowFailure(FailureCode::kOutOfMemory);
    }

    // posix_spawn is safe beside the worker threads; the child gets only its
    // three streams, default signal handling and no blocked signals.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds.input, 0);
    posix_spawn_file_actions_adddup2(&actions, fds.output, 1);
    posix_spawn_file_actions_adddup2(&actions, childErrors, 2);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (const int signal : {SIGPIPE, SIGXFSZ, SIGXCPU}) sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
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
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    CloseFd(childErrors);
    if (spawned != 0) ThrowFailure(FailureCode::kCannotOpen, {program});
    ++processesStarted;

    // The messages until the decoder ends (its stream closes), then its end.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
    std::string messages;
    while (fds.errors >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd poll1{fds.errors, POLLIN, 0};
        const int ready = poll(&poll1, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;
        char buffer[4096];
        const ssize_t n = read(fds.errors, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            CloseFd(fds.errors);
            break;
        }
        messages.append(
            buffer, std::min<std::size_t>(std::size_t(n),
                                          kMaxMessageBytes - std::min(kMaxMessageBytes, messages.size())));
    }
    const std::optional<int> status = Reap(pid, deadline);
    if (options.libraryMessages) *options.libraryMessages = messages;
    if (!status) throw refusal(FailureCode::kDecoderTimedOut);
    if (!WIFEXITED(*status) || WEXITSTATUS(*status) != 0) throw refusal(FailureCode::kDecoderStopped);

    struct stat written {};
    if (fstat(fds.output, &written) != 0 || written.st_size < 0 ||
        std::uint64_t(written.st_size) > replyLimit)
        throw refusal(FailureCode::kDecoderStopped);
    const auto length = static_cast<std::size_t>(written.st_size);
    void* mapped = length == 0 ? MAP_FAILED : mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fds.output, 0);
    if (mapped == MAP_FAILED) throw refusal(FailureCode::kDecoderStopped);
    std::optional<DecodeReply> answer =
        ParseDecodeReply(static_cast<const std::uint8_t*>(mapped), length, options.maxDecodedBytes);
    munmap(mapped, length);
    if (!answer) throw refusal(FailureCode::kDecoderStopped);
    if (answer->failure) throw *answer->failure;
    return std::move(answer->image);
}

}  // namespace radmtf
