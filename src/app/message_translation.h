// The messages the program shows, in the interface language. The failures
// carry their Japanese text from the layers below; this turns a whole text
// back into its entry (a fixed text, or a pattern whose %1 is the name or
// number the failure gives) and translates that.
#pragma once

#include <QString>

namespace radmtf {

QString TranslatedMessage(const QString& japanese);

}  // namespace radmtf
