// Runs `radmtf measure ...` as a separate process without any display, the
// way a script on a server runs it, and splits its CSV output.
#pragma once

#include <QProcess>
#include <QStringList>

#include <sstream>
#include <string>
#include <vector>

namespace radmtf::testing {

struct CommandRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline CommandRun RunMeasure(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
    process.setProcessEnvironment(environment);
    process.start(RADMTF_BINARY, QStringList{"measure"} + arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
}

// The fields of one CSV line (no quoted commas in what the tests measure).
inline std::vector<std::string> CsvFields(const std::string& line)
{
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
    if (!line.empty() && line.back() == ',') fields.emplace_back();
    return fields;
}

// The data rows of CSV output, split into fields (the header line dropped).
inline std::vector<std::vector<std::string>> CsvRows(const std::string& csv)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) rows.push_back(CsvFields(line));
    return rows;
}

// The index of a column of CSV output by its name in the header line.
inline std::size_t CsvColumn(const std::string& csv, const std::string& name)
{
    const std::vector<std::string> names = CsvFields(csv.substr(0, csv.find('\n')));
    std::size_t index = 0;
    while (index < names.size() && names[index] != name) ++index;
    return index;
}

}  // namespace radmtf::testing
