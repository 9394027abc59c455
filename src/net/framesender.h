#pragma once

#include <QString>

// What the request sender (net/requestsender.h) hands an addressed frame to:
// the UDP endpoint in the app, the tool's session in qevactl, a recorder in
// tests. The frame is hex text; the endpoint turns it into bytes and drops
// it when it is not valid hex.
class FrameSender
{
public:
    virtual ~FrameSender() = default;
    virtual void sendMessage(const QString &hexFrame, const QString &host, quint16 port, int timeoutSec,
                             long tag) = 0;
};
