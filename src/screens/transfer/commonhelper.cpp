#include "screens/transfer/commonhelper.h"

#include "core/appcontext.h"

#include <QDir>
#include <QFileInfo>

double CommonHelper::leadingNumber(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i).isSpace())
        ++i;
    const qsizetype start = i;
    auto digits = [&] {
        const qsizetype from = i;
        while (i < n && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'))
            ++i;
        return i > from;
    };
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ++i;
    bool any = digits();
    if (i < n && text.at(i) == QLatin1Char('.')) {
        ++i;
        any = digits() || any;
    }
    if (!any)
        return 0;
    qsizetype end = i;
    // An exponent counts only when digits follow it.
    if (i < n && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        ++i;
        if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
            ++i;
        if (digits())
            end = i;
    }
    return text.mid(start, end - start).toDouble();
}

QString CommonHelper::getFileSizeString(const QString &size)
{
    const double v = leadingNumber(size);
    if (v >= 1048576)
        return QString::asprintf("%fM", v / 1024 / 1024);
    if (v >= 1024)
        return QString::asprintf("%fK", v / 1024);
    return QString::asprintf("%fB", v);
}

float CommonHelper::getFileSizeNumber(const QString &size)
{
    constexpr qsizetype kUnitWithin = 1000;
    auto unitAt = [&](QChar unit) {
        const qsizetype at = size.indexOf(unit);
        return at >= 0 && at < kUnitWithin ? at : -1;
    };
    const qsizetype m = unitAt(QLatin1Char('M'));
    const qsizetype k = unitAt(QLatin1Char('K'));
    const qsizetype b = unitAt(QLatin1Char('B'));
    if (m >= 0)
        return float(leadingNumber(size.left(m))) * 1024 * 1024;
    if (k >= 0)
        return float(leadingNumber(size.left(k))) * 1024;
    if (b >= 0)
        return float(leadingNumber(size.left(b)));
    return float(leadingNumber(size));
}

float CommonHelper::getProgress(float totalSize, float currentSize)
{
    return currentSize / totalSize;
}

QString CommonHelper::getDocumentPath()
{
    return AppContext::current()->config().documentsDir;
}

QString CommonHelper::getTargetFloderPath()
{
    return getDocumentPath();
}

QString CommonHelper::getTempFolderPath()
{
    return QDir(getDocumentPath()).filePath(QStringLiteral("Temp"));
}

bool CommonHelper::isExistFile(const QString &path)
{
    return QFileInfo::exists(path);
}
