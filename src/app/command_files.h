// What the measure subcommands share about files: which files a run reads,
// which outputs it refuses, and how it reports that.
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/failure.h"

namespace radmtf {

// Whether two paths name the same file: the same device and inode when both
// exist, the same absolute path otherwise (a file the run has yet to write).
bool SameFile(const std::string& a, const std::string& b);

// The files to read: each file argument itself, each folder's entries in the
// viewer's name order (case-insensitive, then exact), except the files this
// run writes (`written`) and their temporaries. With `regularOnly` a folder's
// other entries are left out; otherwise they are listed and fail as no image.
std::vector<std::string> ExpandInputs(const std::vector<std::string>& inputs,
                                      const std::vector<std::string>& written, bool regularOnly = false);

// Refuses, before anything is read, an output that would destroy a file: one
// of the files to read, a DICOM file (an image, whatever folder it lies in),
// or a device, pipe, folder or socket, which a rename would replace by a
// plain file.
std::optional<Failure> OutputRefusal(const std::string& target, const std::vector<std::string>& files);

// The files a run writes (--output, --report), or nothing after the usage
// error printed for one file named as both.
std::optional<std::vector<std::string>> OutputFiles(const std::optional<std::string>& output,
                                                    const std::optional<std::string>& report);

// Whether every written file passes OutputRefusal against the files read;
// the first refusal is printed.
bool OutputsAllowed(const std::vector<std::string>& written, const std::vector<std::string>& read);

// Delivers a run's result: `text` replaces --output when there is one, then
// `more` writes the other files (a report); without --output, standard
// output must have taken everything. False after the failure is printed.
bool DeliverOutputs(const std::optional<std::string>& output, const std::string& text,
                    const std::function<void()>& more = {});

// Standard output with everything written so far delivered; false when a
// write failed (a full disk, a closed pipe, /dev/full).
bool StandardOutputWritten();

// "radmtf measure: TEXT" on standard error, control characters escaped; the
// usage error adds the hint line.
void PrintFailure(const QString& text);
void PrintUsageError(const QString& text);

}  // namespace radmtf
