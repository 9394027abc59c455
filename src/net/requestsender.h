#pragma once

#include "protocol/frame.h"

#include <QString>

class AppContext;
class FrameSender;

// The one way a request leaves the client: addressed by its catalogue row
// to a server's port as the context configures it (control, time), with the
// row's send time-out and tag 0, and handed to the installed sender. The
// program installs that sender (the UDP endpoint in the app; the tool its
// session; tests a recorder); without one a request is dropped with a line.
class RequestSender
{
public:
    explicit RequestSender(AppContext &ctx);
    static RequestSender &shared();

    void setSender(FrameSender *sender) { m_sender = sender; }
    FrameSender *sender() const { return m_sender; }

    // The port a row goes to, as the context configures it; 0 for a row
    // that is not a datagram request.
    quint16 portFor(const RequestSpec &row) const;

    // To the selected server (currentSelectDev). A request of a row that is
    // not sent over UDP (the file announcement, 5302) is refused with a line.
    void send(const Request &request);
    void send(const Requests &requests);
    // The same, to a server given by address.
    void sendTo(const Request &request, const QString &host);

private:
    AppContext &m_ctx;
    FrameSender *m_sender = nullptr;
};
