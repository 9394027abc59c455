#include "protocol/frame.h"

#include "core/logging.h"

namespace Frame {

QString fill(const RequestSpec &row, const QStringList &fields)
{
    const QString format = QLatin1String(row.format);
    QString out;
    out.reserve(format.size() + 64);
    int next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format.at(i) == QLatin1Char('%') && i + 1 < format.size() && format.at(i + 1) == QLatin1Char('@')) {
            if (next < fields.size())
                out += fields.at(next);
            ++next;
            ++i;
        } else {
            out += format.at(i);
        }
    }
    if (next != fields.size())
        qCWarning(lcProtocol) << "frame" << row.code << "takes" << next << "fields, was given" << fields.size();
    return out;
}

Request build(const RequestSpec &row, const QStringList &fields)
{
    return Request{&row, fill(row, fields)};
}

} // namespace Frame
