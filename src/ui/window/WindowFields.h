#pragma once

// How the main window's files read and write its integer fields.

#include "IntText.h"

#include <QLineEdit>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace velmorin {

inline std::int32_t toInt(const QLineEdit *edit)
{
    return StrToInt(edit->text().toStdString());
}

inline void setInt(QLineEdit *edit, std::int64_t value)
{
    edit->setText(QString::fromStdString(IntToStr(value)));
}

// Up-down values are ints; a bound beyond their range stops at its end.
inline int toUpDownValue(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

} // namespace velmorin
