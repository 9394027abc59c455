#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Reading the values a user types. Every reader is strict (the whole word
// must be the value) and reports nothing for a word it does not take, so
// that a command can refuse it with exit status 2 before anything is sent.
namespace CliValue {
// A decimal integer within [min, max].
std::optional<qint64> integer(const QString &word, qint64 min, qint64 max);
// on/off, yes/no, true/false, 1/0.
std::optional<bool> onOff(const QString &word);
// The index of word in names, without regard to case.
std::optional<int> choice(const QString &word, const QStringList &names);

// The 13 colours a server knows: English names in code order, the Chinese
// labels, or the index 0-12. The result is the code index.
QStringList colorNames();
std::optional<int> color(const QString &word);
QString colorName(int index); // "" outside the list

// Scroll directions of inserted text, codes 00-04.
QStringList directionNames();

// "what must be VALUE-RANGE, not WORD" for error messages.
QString rangeText(qint64 min, qint64 max);
} // namespace CliValue
