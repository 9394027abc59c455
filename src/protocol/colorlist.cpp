#include "protocol/colorlist.h"

#include <QCoreApplication>

#include <cctype>

namespace ColorList {
namespace {
// Source strings of the labels, in code order.
const char *const kLabels[kCount] = {
    QT_TRANSLATE_NOOP("ColorList", "黑色"),   QT_TRANSLATE_NOOP("ColorList", "白色"),
    QT_TRANSLATE_NOOP("ColorList", "红色"),   QT_TRANSLATE_NOOP("ColorList", "黄色"),
    QT_TRANSLATE_NOOP("ColorList", "灰色"),   QT_TRANSLATE_NOOP("ColorList", "紫色"),
    QT_TRANSLATE_NOOP("ColorList", "蓝色"),   QT_TRANSLATE_NOOP("ColorList", "蓝绿色"),
    QT_TRANSLATE_NOOP("ColorList", "灰黑色"), QT_TRANSLATE_NOOP("ColorList", "亮色"),
    QT_TRANSLATE_NOOP("ColorList", "绿色"),   QT_TRANSLATE_NOOP("ColorList", "透明色"),
    QT_TRANSLATE_NOOP("ColorList", "亮蓝色"),
};
} // namespace

QStringList labels()
{
    QStringList out;
    for (int i = 0; i < kCount; ++i)
        out << label(i);
    return out;
}

QStringList codes()
{
    QStringList out;
    for (int i = 0; i < kCount; ++i)
        out << code(i);
    return out;
}

QString label(int index)
{
    if (index < 0 || index >= kCount)
        return QString();
    return QCoreApplication::translate("ColorList", kLabels[index]);
}

QString code(int index)
{
    if (index < 0 || index >= kCount)
        return QString();
    return QStringLiteral("%1").arg(index, 2, 16, QLatin1Char('0'));
}

std::optional<int> indexOfCode(const QString &code)
{
    if (code.size() != 2)
        return std::nullopt;
    for (const QChar c : code)
        if (c.unicode() > 0x7f || !std::isxdigit(c.unicode()))
            return std::nullopt;
    bool ok = false;
    const int v = code.toInt(&ok, 16);
    if (!ok || v < 0 || v >= kCount)
        return std::nullopt;
    return v;
}
} // namespace ColorList
