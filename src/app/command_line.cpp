#include "app/command_line.h"

#include <QCommandLineParser>

#include <cstdio>

#include "app/language.h"
#include "app/messages.h"
#include "core/failure.h"
#include "core/printable.h"

namespace radmtf {

namespace {

constexpr int kUsageError = 2;

// False when the text did not all arrive (a full disk, /dev/full).
bool Print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    const std::size_t size = static_cast<std::size_t>(bytes.size());
    return std::fwrite(bytes.constData(), 1, size, stream) == size && std::fflush(stream) == 0 &&
           !std::ferror(stream);
}

// Standard output's text; exit code 1, with the reason on standard error,
// when it cannot be written.
int PrintOut(const QString& text)
{
    if (Print(stdout, text)) return 0;
    Print(stderr, "radmtf: " + FailureText(FailureCode::kStandardOutput) + "\n");
    return 1;
}

}  // namespace

QStringList CommandLineArguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

CommandLine ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption help({"h", "help"}, "help");
    const QCommandLineOption version({"v", "version"}, "version");
    const QCommandLineOption script("script", "script", "FILE");
    const QCommandLineOption language("lang", "lang", "CODE");
    parser.addOption(language);
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(script);
    parser.addPositionalArgument("IMAGE", "image");

    CommandLine command;
    auto fail = [&](const QString& why) {
        // The text may repeat what was typed, control characters and all.
        Print(stderr, "radmtf: " + QString::fromStdString(PrintableText(why.toStdString())) + "\n" +
                          ProgramUsageHintText() + "\n");
        command.exitCode = kUsageError;
        return command;
    };
    const bool parsed = parser.parse(arguments);
    // Everything printed from here on is in the interface language.
    command.language = RequestedLanguage(parser.value(language));
    if (!UseLanguage(command.language)) {
        const QString asked = command.language;
        command.language = "ja";
        UseLanguage(command.language);
        if (parsed) return fail(UsageText(UsageProblem::kBadValue, {"--lang", asked.toStdString()}));
    }
    if (!parsed) return fail(parser.errorText());
    if (parser.isSet(help)) {
        command.exitCode = PrintOut(ProgramHelpText());
        return command;
    }
    if (parser.isSet(version)) {
        command.exitCode = PrintOut(QStringLiteral("radmtf " RADMTF_VERSION "\n"));
        return command;
    }
    const QStringList images = parser.positionalArguments();
    if (images.size() > 1) return fail(UsageText(UsageProblem::kTooManyImages));
    if (!images.isEmpty()) command.imagePath = images.first();
    command.scriptPath = parser.value(script);
    return command;
}

}  // namespace radmtf
