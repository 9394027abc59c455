#pragma once

#include "protocol/catalogue.h"

#include <QStringList>

// Building and addressing a request by its catalogue row.
namespace Frame {
// The row's format text with each %@ replaced by the next field, in order.
QString fill(const RequestSpec &spec, const QStringList &fields = {});
// The port a row goes to, as the current context configures it.
quint16 portFor(const RequestSpec &spec);
// Hands the frame to the context's sender, addressed to the selected
// server (currentSelectDev) at the row's port, with the row's time-out and
// tag 0. A row that is not sent over UDP is refused with a log line.
void send(const RequestSpec &spec, const QString &frameHex);
// The same, to a server given by address (the CLI's --all, the choosers).
void sendTo(const RequestSpec &spec, const QString &frameHex, const QString &host);
} // namespace Frame
