#pragma once

#include <QString>

// What command builders hand their frames to: the UDP endpoint in the app,
// a recorder in tests. The frame is hex text; the endpoint turns it into
// bytes and drops it when it is not valid hex.
class FrameSender
{
public:
    virtual ~FrameSender() = default;
    virtual void sendMessage(const QString &hexFrame, const QString &host, quint16 port, int timeoutSec,
                             long tag) = 0;
};
