// Reading a whole file for the viewer and the analysis window, and writing
// one so that it is never left half written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace radmtf {

// Reads the regular file at `nativePath` (the file system's encoding) into
// `bytes`. Returns false, with `bytes` empty, when it is not a regular file
// (a pipe, device, socket or folder; a dangling link), cannot be opened or
// is not read completely. It never waits: the type is checked before the
// file is opened, and it is opened without blocking, so a pipe that appears
// under the name in between cannot hang the program.
bool ReadRegularFile(const std::string& nativePath, std::vector<std::uint8_t>& bytes);

// Which version of a file a measurement read: its size and the time it was
// last modified (UTC, "2026-12-10T09:30:00Z"), so a report can be traced to
// the very file. Empty for a path that cannot be examined.
struct FileStamp {
    std::uint64_t size = 0;
    std::string modified;
};
FileStamp StampOfFile(const std::string& nativePath);

// Writes all `size` bytes to the descriptor, going on after interruptions
// and partial writes; false on a failed write.
bool WriteAll(int fd, const void* data, std::size_t size);

// Makes the file at `nativePath` hold exactly `bytes`. They are written to a
// new file beside it, flushed to the disk and only then renamed over the
// old one, so a failed write (a full disk, a killed program) leaves the old
// file as it was and no temporary file behind. A link is followed: its
// target is replaced. An existing file keeps its permissions.
// Fails with kNotRegularTarget when the path names a device, pipe, folder or
// socket (renaming over it would put a file in its place) and with
// kCannotCreate for any other failure; both name `nativePath`.
void ReplaceFile(const std::string& nativePath, std::string_view bytes);

// Whether `path` is (or was, left by a killed program) the temporary file of
// a ReplaceFile of `target`: in the same folder, named after it.
bool IsTemporaryOf(const std::string& path, const std::string& target);

}  // namespace radmtf
