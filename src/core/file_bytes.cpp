#include "core/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>

#include "core/failure.h"

namespace radmtf {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now, reporting the failure a delayed write may only show here.
    bool Close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool ReadAll(int fd, std::vector<std::uint8_t>& bytes)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) return false;
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

constexpr char kTemporaryMark[] = ".radmtf-";

// A new file beside `target`, named after it; its descriptor, or -1.
int CreateTemporary(const std::filesystem::path& target, std::string& name)
{
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, "%s%012llx", kTemporaryMark,
                      static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
        name = (target.parent_path() / ("." + target.filename().string() + suffix)).string();
        // 0666 under the umask, as a newly created file gets.
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

void ReplaceFile(const std::string& nativePath, std::string_view bytes)
{
    std::error_code error;
    std::filesystem::path target(nativePath);
    struct stat link {};
    if (::lstat(nativePath.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        target = std::filesystem::canonical(target, error);
        if (error) ThrowCannotCreate(nativePath);
    }
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) ThrowCannotCreate(nativePath);
    if (exists && !S_ISREG(old.st_mode)) ThrowFailure(FailureCode::kNotRegularTarget, {nativePath});
    if (target.filename().empty()) ThrowCannotCreate(nativePath);

    std::string temporary;
    FileDescriptor file(CreateTemporary(target, temporary));
    if (file.get() < 0) ThrowCannotCreate(nativePath);
    const bool written = (!exists || ::fchmod(file.get(), old.st_mode & 07777) == 0) &&
                         WriteAll(file.get(), bytes.data(), bytes.size()) && ::fsync(file.get()) == 0 &&
                         file.Close() && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!written) {
        ::unlink(temporary.c_str());
        ThrowCannotCreate(nativePath);
    }
    // The rename itself reaches the disk with the folder.
    const FileDescriptor folder(::open(target.has_parent_path() ? target.parent_path().c_str() : ".",
                                       O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) ::fsync(folder.get());
}

bool IsTemporaryOf(const std::string& path, const std::string& target)
{
    const std::filesystem::path candidate(path), of(target);
    const std::string prefix = "." + of.filename().string() + kTemporaryMark;
    if (of.filename().empty() || candidate.filename().string().rfind(prefix, 0) != 0) return false;
    std::error_code error;
    const auto folder = [](const std::filesystem::path& p) -> std::filesystem::path {
        return p.has_parent_path() ? p.parent_path() : ".";
    };
    return std::filesystem::equivalent(folder(candidate), folder(of), error) && !error;
}

bool WriteAll(int fd, const void* data, std::size_t size)
{
    const auto* from = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, from, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        from += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

FileStamp StampOfFile(const std::string& nativePath)
{
    struct stat status {};
    if (stat(nativePath.c_str(), &status) != 0) return {};
    std::tm utc{};
    char text[32] = {};
    if (!gmtime_r(&status.st_mtime, &utc) || !std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc))
        return {static_cast<std::uint64_t>(status.st_size), {}};
    return {static_cast<std::uint64_t>(status.st_size), text};
}

bool ReadRegularFile(const std::string& nativePath, std::vector<std::uint8_t>& bytes)
{
    bytes.clear();
    struct stat info {};
    if (::stat(nativePath.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    const FileDescriptor file(::open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) return false;
    if (ReadAll(file.get(), bytes)) return true;
    bytes.clear();
    return false;
}

}  // namespace radmtf
