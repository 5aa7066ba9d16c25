// A fresh pair of windows per test, a temporary folder for files, and the
// script driver to act on them the way a user (or an automation script) does.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/form2.h"
#include "app/prompter.h"
#include "app/script.h"

namespace radmtf::testing {

// A script's printed output, line by line.
inline std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}


// Stands in for the real dialogs outside scripts, so a test that reaches a
// prompt it did not plan for fails instead of waiting for a user.
class NoDialogs : public Prompter {
public:
    std::optional<QString> openFile(const QString&) override
    {
        ADD_FAILURE() << "unexpected open dialog";
        return std::nullopt;
    }
    std::optional<QString> saveFile(const QString&, const QString&) override
    {
        ADD_FAILURE() << "unexpected save dialog";
        return std::nullopt;
    }
    QString inputBox(const QString&, const QString& prompt, const QString& proposed) override
    {
        ADD_FAILURE() << "unexpected input box: " << prompt.toStdString();
        return proposed;
    }
    void message(const QString& text) override
    {
        ADD_FAILURE() << "unexpected message: " << text.toStdString();
    }
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPrompter(&noDialogs);
        form1 = std::make_unique<TForm1>();
        form2 = std::make_unique<TForm2>(form1.get());
        form1->setForm2(form2.get());
        form1->show();
        ASSERT_TRUE(folder.isValid());
    }
    void TearDown() override
    {
        form2.reset();
        form1.reset();
        SetPrompter(nullptr);
    }

    // Runs script lines; returns what they printed. A script error fails the test.
    std::string Run(const std::string& script)
    {
        ScriptOutput output;
        const int code =
            RunScript(QString::fromStdString(script).split('\n'), form1.get(), form2.get(), &output);
        EXPECT_EQ(code, 0) << output.error;
        return output.text;
    }

    // Runs script lines that must end in a script error; returns the error.
    std::string RunExpectingError(const std::string& script)
    {
        ScriptOutput output;
        const int code =
            RunScript(QString::fromStdString(script).split('\n'), form1.get(), form2.get(), &output);
        EXPECT_EQ(code, 1);
        return output.error;
    }

    std::string Path(const std::string& name) const
    {
        return folder.filePath(QString::fromStdString(name)).toStdString();
    }

    std::string WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const
    {
        const std::string path = Path(name);
        QFile file(QString::fromStdString(path));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        return path;
    }

    static std::vector<std::uint8_t> Words(const std::vector<std::uint16_t>& words)
    {
        std::vector<std::uint8_t> bytes;
        for (std::uint16_t w : words) {
            bytes.push_back(static_cast<std::uint8_t>(w & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(w >> 8));
        }
        return bytes;
    }

    NoDialogs noDialogs;
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;
    QTemporaryDir folder;
};

}  // namespace radmtf::testing
