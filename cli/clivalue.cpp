#include "clivalue.h"

#include "protocol/colorlist.h"

namespace CliValue {

std::optional<qint64> integer(const QString &word, qint64 min, qint64 max)
{
    bool ok = false;
    const qint64 v = word.toLongLong(&ok, 10);
    // toLongLong takes leading blanks and a "+"; a typed value should not.
    if (!ok || word.trimmed() != word || word.startsWith(QLatin1Char('+')) || v < min || v > max)
        return std::nullopt;
    return v;
}

std::optional<bool> onOff(const QString &word)
{
    const QString w = word.toLower();
    if (w == QLatin1String("on") || w == QLatin1String("yes") || w == QLatin1String("true") || w == QLatin1String("1"))
        return true;
    if (w == QLatin1String("off") || w == QLatin1String("no") || w == QLatin1String("false") || w == QLatin1String("0"))
        return false;
    return std::nullopt;
}

std::optional<int> choice(const QString &word, const QStringList &names)
{
    for (int i = 0; i < names.size(); ++i)
        if (names.at(i).compare(word, Qt::CaseInsensitive) == 0)
            return i;
    return std::nullopt;
}

QStringList colorNames()
{
    return {QStringLiteral("black"),     QStringLiteral("white"),      QStringLiteral("red"),
            QStringLiteral("yellow"),    QStringLiteral("grey"),       QStringLiteral("purple"),
            QStringLiteral("blue"),      QStringLiteral("blue-green"), QStringLiteral("charcoal"),
            QStringLiteral("bright"),    QStringLiteral("green"),      QStringLiteral("transparent"),
            QStringLiteral("bright-blue")};
}

std::optional<int> color(const QString &word)
{
    if (const auto i = choice(word, colorNames()))
        return i;
    if (const auto i = choice(word, ColorList::labels()))
        return i;
    if (const auto i = integer(word, 0, ColorList::kCount - 1))
        return int(*i);
    return std::nullopt;
}

QString colorName(int index)
{
    const QStringList names = colorNames();
    return index >= 0 && index < names.size() ? names.at(index) : QString();
}

QStringList directionNames()
{
    return {QStringLiteral("left-right"), QStringLiteral("right-left"), QStringLiteral("top-bottom"),
            QStringLiteral("bottom-top"), QStringLiteral("static")};
}

QString rangeText(qint64 min, qint64 max)
{
    return QStringLiteral("%1-%2").arg(min).arg(max);
}

} // namespace CliValue
