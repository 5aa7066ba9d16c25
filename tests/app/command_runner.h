// Runs `radmtf measure ...` as a separate process without any display, the
// way a script on a server runs it, and splits its CSV output.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>

#include <string>
#include <utility>
#include <vector>

namespace radmtf::testing {

struct CommandRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// `standardOutput`: a file to send standard output to instead of reading it.
inline CommandRun RunMeasure(const QStringList& arguments, const QString& standardOutput = {})
{
    QProcess process;
    if (!standardOutput.isEmpty()) process.setStandardOutputFile(standardOutput);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
    process.setProcessEnvironment(environment);
    process.start(RADMTF_BINARY, QStringList{"measure"} + arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
}

// Another program's standard output (pdfinfo, pdftotext), expecting success.
inline std::string Tool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(30000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString();
    return process.readAllStandardOutput().toStdString();
}

using Table = std::vector<std::vector<std::string>>;

// RFC 4180 as spreadsheets read it: quoted fields may hold commas, doubled
// quotes and line breaks; lines end with CR LF or LF.
inline Table ParseCsv(const std::string& text)
{
    Table rows(1);
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (quoted) {
            if (ch == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else if (ch == '"')
                quoted = false;
            else
                field += ch;
        } else if (ch == '"') {
            quoted = true;
        } else if (ch == ',') {
            rows.back().push_back(std::exchange(field, {}));
        } else if (ch == '\n' || (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            rows.back().push_back(std::exchange(field, {}));
            rows.emplace_back();
            if (ch == '\r') ++i;
        } else {
            field += ch;
        }
    }
    if (!field.empty() || !rows.back().empty()) rows.back().push_back(field);
    if (rows.back().empty()) rows.pop_back();
    return rows;
}

// The data rows of CSV output, split into fields (the header line dropped).
inline Table CsvRows(const std::string& csv)
{
    Table rows = ParseCsv(csv);
    if (!rows.empty()) rows.erase(rows.begin());
    return rows;
}

// The index of a column of CSV output by its name in the header line.
inline std::size_t CsvColumn(const std::string& csv, const std::string& name)
{
    const Table table = ParseCsv(csv);
    const std::vector<std::string> names = table.empty() ? std::vector<std::string>{} : table.front();
    std::size_t index = 0;
    while (index < names.size() && names[index] != name) ++index;
    return index;
}

}  // namespace radmtf::testing
