#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The 13 colours a server knows by code: the background colour of the
// settings and the colour of inserted text share them. The position in the
// list is the code, written as two hex digits ("00" black to "0c" bright blue).
namespace ColorList {
constexpr int kCount = 13;

// Labels in list order, translated (the Chinese text is the source string).
QStringList labels();
// "00" to "0c", lower case.
QStringList codes();

// Empty for an index outside the list.
QString label(int index);
QString code(int index);
// The index of a code in either case ("0C" and "0c" are 12); nothing for a
// code that is not in the list.
std::optional<int> indexOfCode(const QString &code);
} // namespace ColorList
