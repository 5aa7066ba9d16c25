#include "app/language.h"

#include <QCoreApplication>
#include <QTranslator>

#include <memory>

namespace radmtf {

namespace {

std::unique_ptr<QTranslator> g_translator;

}  // namespace

QString RequestedLanguage(const QString& fromCommandLine)
{
    // Codes are case-insensitive ("EN" as "en"), as people type them.
    if (!fromCommandLine.isEmpty()) return fromCommandLine.toLower();
    const QString fromEnvironment = qEnvironmentVariable("RADMTF_LANG");
    return fromEnvironment.isEmpty() ? QString("ja") : fromEnvironment.toLower();
}

bool UseLanguage(const QString& code)
{
    if (code == "ja") {
        if (g_translator) QCoreApplication::removeTranslator(g_translator.get());
        g_translator.reset();
        return true;
    }
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(":/i18n/radmtf_" + code + ".qm")) return false;
    if (g_translator) QCoreApplication::removeTranslator(g_translator.get());
    g_translator = std::move(translator);
    QCoreApplication::installTranslator(g_translator.get());
    return true;
}

bool EnglishInterface()
{
    return g_translator && g_translator->language().startsWith("en");
}

}  // namespace radmtf
