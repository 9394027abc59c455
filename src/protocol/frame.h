#pragma once

#include "protocol/catalogue.h"

#include <QList>
#include <QStringList>

// A built request: its frame as hex text and the catalogue row it belongs
// to, which says where it goes (port, send time-out). Builders return these;
// the request sender above this layer addresses them to a server.
struct Request
{
    const RequestSpec *row = nullptr;
    QString frame;
};
using Requests = QList<Request>;

// Building a request by its catalogue row.
namespace Frame {
// The row's format text with each %@ replaced by the next field, in order.
QString fill(const RequestSpec &spec, const QStringList &fields = {});
// The same, with its row.
Request build(const RequestSpec &spec, const QStringList &fields = {});
} // namespace Frame
