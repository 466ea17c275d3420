#pragma once

#include <QString>

// The codes of sale lines that are no goods: a discount and 抹零 are lines
// of their own with a negative amount, which the till writes and the
// reports sum apart. No product code starts with "*".
namespace LineCodes {
inline const QString discount = QStringLiteral("*折扣");
inline const QString roundOff = QStringLiteral("*抹零");
} // namespace LineCodes
