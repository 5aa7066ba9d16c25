#include "dicom/decoder_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
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
    const std::string program = DecoderProgram();
    const std::string limit = std::to_string(addressSpace);
    const std::string seconds = std::to_string(options.timeoutSeconds + 1);
    std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>("--address-space"),
                            const_cast<char*>(limit.c_str()),   const_cast<char*>("--cpu-seconds"),
                            const_cast<char*>(seconds.c_str()), nullptr};

    // The request goes through a socket, so that writing to a decoder that
    // has died fails with EPIPE (MSG_NOSIGNAL) instead of raising SIGPIPE.
    int input[2], output[2], errors[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, input) != 0)
        ThrowFailure(FailureCode::kOutOfMemory);
    ChildFds fds;
    fds.input = input[0];
    int childInput = input[1];
    if (pipe2(output, O_CLOEXEC) != 0) {
        CloseFd(childInput);
        ThrowFailure(FailureCode::kOutOfMemory);
    }
    fds.output = output[0];
    int childOutput = output[1];
    if (pipe2(errors, O_CLOEXEC) != 0) {
        CloseFd(childInput);
        CloseFd(childOutput);
        ThrowFailure(FailureCode::kOutOfMemory);
    }
    fds.errors = errors[0];
    int childErrors = errors[1];

    // posix_spawn is safe beside the worker threads; the child gets only its
    // three streams, default signal handling and no blocked signals.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, childInput, 0);
    posix_spawn_file_actions_adddup2(&actions, childOutput, 1);
    posix_spawn_file_actions_adddup2(&actions, childErrors, 2);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    CloseFd(childInput);
    CloseFd(childOutput);
    CloseFd(childErrors);
    if (spawned != 0) ThrowFailure(FailureCode::kCannotOpen, {program});
    ++processesStarted;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
    const std::vector<std::uint8_t> header =
        DecodeRequestHeader(DecodeRequest{options.maxDecodedBytes, walkFoundPixelData}, size);
    std::size_t written = 0;  // of the header, then the file
    const std::size_t total = header.size() + size;
    // Words within the budget, the element list and the reply's own fields.
    const std::uint64_t replyLimit = options.maxDecodedBytes + (std::uint64_t{64} << 20);
    std::vector<std::uint8_t> reply;
    std::string messages;
    bool timedOut = false, tooLong = false;
    for (int fd : {fds.input, fds.output, fds.errors}) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    while (fds.output >= 0 || fds.errors >= 0) {
        pollfd polls[3];
        nfds_t count = 0;
        for (int fd : {fds.input, fds.output, fds.errors})
            if (fd >= 0)
                polls[count++] = pollfd{fd, static_cast<short>(fd == fds.input ? POLLOUT : POLLIN), 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        const int ready = poll(polls, count, static_cast<int>(std::min<long long>(left.count(), 1000)));
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;
        for (nfds_t i = 0; i < count; ++i) {
            if (polls[i].revents == 0) continue;
            const int fd = polls[i].fd;
            if (fd == fds.input) {
                const std::uint8_t* from =
                    written < header.size() ? header.data() + written : data + (written - header.size());
                const std::size_t chunk = written < header.size() ? header.size() - written : total - written;
                const ssize_t n = send(fd, from, std::min<std::size_t>(chunk, 1 << 20), MSG_NOSIGNAL);
                if (n > 0) written += static_cast<std::size_t>(n);
                if ((n < 0 && errno != EINTR && errno != EAGAIN) || written == total) CloseFd(fds.input);
                continue;
            }
            std::uint8_t buffer[65536];
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
            if (n <= 0) {
                CloseFd(fd == fds.output ? fds.output : fds.errors);
                continue;
            }
            if (fd == fds.output) {
                if (reply.size() + std::size_t(n) > replyLimit) {
                    tooLong = true;
                    CloseFd(fds.output);
                    continue;
                }
                reply.insert(reply.end(), buffer, buffer + n);
            } else if (messages.size() < kMaxMessageBytes) {
                messages.append(reinterpret_cast<const char*>(buffer),
                                std::min<std::size_t>(std::size_t(n), kMaxMessageBytes - messages.size()));
            }
        }
        if (tooLong) break;
    }
    CloseFd(fds.input);
    CloseFd(fds.output);
    CloseFd(fds.errors);
    if (timedOut || tooLong) kill(pid, SIGKILL);
    const std::optional<int> status = Reap(pid, deadline);
    if (options.libraryMessages) *options.libraryMessages = messages;
    if (timedOut || !status) throw refusal(FailureCode::kDecoderTimedOut);
    if (tooLong || !WIFEXITED(*status) || WEXITSTATUS(*status) != 0)
        throw refusal(FailureCode::kDecoderStopped);
    std::optional<DecodeReply> answer = ParseDecodeReply(reply.data(), reply.size(), options.maxDecodedBytes);
    if (!answer) throw refusal(FailureCode::kDecoderStopped);
    if (answer->failure) throw *answer->failure;
    return std::move(answer->image);
}

}  // namespace radmtf
