#include "app/command_line.h"

#include <QCommandLineParser>

#include <cstdio>

#include "app/language.h"
#include "app/messages.h"

namespace radmtf {

namespace {

constexpr int kUsageError = 2;

void Print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
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
        Print(stderr, "radmtf: " + why + "\n" + ProgramUsageHintText() + "\n");
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
        Print(stdout, ProgramHelpText());
        command.exitCode = 0;
        return command;
    }
    if (parser.isSet(version)) {
        Print(stdout, QStringLiteral("radmtf " RADMTF_VERSION "\n"));
        command.exitCode = 0;
        return command;
    }
    const QStringList images = parser.positionalArguments();
    if (images.size() > 1) return fail(UsageText(UsageProblem::kTooManyImages));
    if (!images.isEmpty()) command.imagePath = images.first();
    command.scriptPath = parser.value(script);
    return command;
}

}  // namespace radmtf
