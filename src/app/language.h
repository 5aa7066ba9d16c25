// The interface language. Japanese is the source of every text and the
// default; English comes from the translation built into the program.
#pragma once

#include <QString>
#include <QStringList>

namespace radmtf {

// The language asked for: `fromCommandLine` (--lang) when given, else the
// environment variable RADMTF_LANG, else "ja".
QString RequestedLanguage(const QString& fromCommandLine);

// Installs the translation for `code` ("ja": none). Returns false, leaving the
// language as it was, when the program has no such translation.
bool UseLanguage(const QString& code);

// Whether the interface speaks English (memos then start without the
// internal names they hold in Japanese).
bool EnglishInterface();

}  // namespace radmtf
