#include "app/command_files.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "app/messages.h"
#include "core/file_bytes.h"
#include "core/printable.h"

namespace radmtf {

namespace {

bool NameBefore(const std::string& a, const std::string& b)
{
    const auto lower = [](unsigned char c) { return static_cast<char>(std::tolower(c)); };
    std::string la(a.size(), ' '), lb(b.size(), ' ');
    std::transform(a.begin(), a.end(), la.begin(), lower);
    std::transform(b.begin(), b.end(), lb.begin(), lower);
    return la != lb ? la < lb : a < b;
}

// A DICOM file says so at byte 128; a results file never does.
bool IsDicomFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    char head[132] = {};
    return file.read(head, sizeof head) && std::memcmp(head + 128, "DICM", 4) == 0;
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    const bool same = std::filesystem::equivalent(a, b, error);
    if (!error) return same;
    const std::filesystem::path pa = std::filesystem::weakly_canonical(a, error);
    if (error) return false;
    const std::filesystem::path pb = std::filesystem::weakly_canonical(b, error);
    return !error && pa == pb;
}

std::vector<std::string> ExpandInputs(const std::vector<std::string>& inputs,
                                      const std::vector<std::string>& written, bool regularOnly)
{
    std::vector<std::string> files;
    for (const std::string& input : inputs) {
        std::error_code error;
        if (!std::filesystem::is_directory(input, error)) {
            files.push_back(input);
            continue;
        }
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(input, error))
            if (!regularOnly || entry.is_regular_file(error))
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end(), NameBefore);
        for (const std::string& name : names) {
            const std::string path = (std::filesystem::path(input) / name).string();
            if (std::none_of(written.begin(), written.end(), [&](const std::string& target) {
                    return SameFile(path, target) || IsTemporaryOf(path, target);
                }))
                files.push_back(path);
        }
    }
    return files;
}

std::optional<Failure> OutputRefusal(const std::string& target, const std::vector<std::string>& files)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(target, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return Failure(FailureCode::kNotRegularTarget, {target});
    for (const std::string& file : files)
        if (SameFile(file, target)) return Failure(FailureCode::kOutputIsInput, {target});
    if (std::filesystem::is_regular_file(status) && IsDicomFile(target))
        return Failure(FailureCode::kOutputIsInput, {target});
    return std::nullopt;
}

std::optional<std::vector<std::string>> OutputFiles(const std::optional<std::string>& output,
                                                    const std::optional<std::string>& report)
{
    if (output && report && SameFile(*output, *report)) {
        PrintUsageError(UsageText(UsageProblem::kBadValue, {"--report", *report}));
        return std::nullopt;
    }
    std::vector<std::string> written;
    for (const auto& target : {output, report})
        if (target) written.push_back(*target);
    return written;
}

bool OutputsAllowed(const std::vector<std::string>& written, const std::vector<std::string>& read)
{
    for (const std::string& target : written)
        if (const std::optional<Failure> refusal = OutputRefusal(target, read)) {
            PrintFailure(FailureText(*refusal));
            return false;
        }
    return true;
}

bool DeliverOutputs(const std::optional<std::string>& output, const std::string& text,
                    const std::function<void()>& more)
{
    try {
        if (output) ReplaceFile(*output, text);
        if (more) more();
    } catch (const Failure& failure) {
        PrintFailure(FailureText(failure));
        return false;
    }
    if (!output && !StandardOutputWritten()) {
        PrintFailure(FailureText(FailureCode::kStandardOutput));
        return false;
    }
    return true;
}

bool StandardOutputWritten()
{
    std::cout.flush();
    return std::cout.good() && std::fflush(stdout) == 0 && !std::ferror(stdout);
}

void PrintFailure(const QString& text)
{
    std::fprintf(stderr, "radmtf measure: %s\n", PrintableText(text.toUtf8().toStdString()).c_str());
}

void PrintUsageError(const QString& text)
{
    PrintFailure(text);
    std::fprintf(stderr, "%s\n", UsageHintText().toUtf8().constData());
}

}  // namespace radmtf
