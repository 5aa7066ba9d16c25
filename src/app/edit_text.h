// Numbers to and from the texts of the windows' controls, through the
// program's number conventions (core/numtext.h).
#pragma once

#include <QLineEdit>
#include <QString>

#include <cstdint>
#include <string>

#include "core/numtext.h"

namespace radmtf {

inline std::string StdText(const QLineEdit* edit)
{
    return edit->text().toStdString();
}
inline std::int32_t IntOf(const QLineEdit* edit)
{
    return StrToInt(StdText(edit));
}
inline long double FloatOf(const QLineEdit* edit)
{
    return StrToFloat(StdText(edit));
}
inline QString Text(long long value)
{
    return QString::fromStdString(IntToStr(value));
}
inline QString Real(long double value)
{
    return QString::fromStdString(FloatToStr(value));
}

}  // namespace radmtf
