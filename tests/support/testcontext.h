#pragma once

#include "core/appcontext.h"
#include "net/framesender.h"
#include "protocol/frame.h"

#include <QHostAddress>
#include <QTemporaryDir>
#include <QVector>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// A frame a builder handed to the sender.
struct SentFrame
{
    QString hex;
    QString host;
    quint16 port;
    int timeoutSec;
    long tag;
};

// Stands in for the UDP endpoint: keeps every frame, sends nothing.
class FrameRecorder : public FrameSender
{
public:
    void sendMessage(const QString &hexFrame, const QString &host, quint16 port, int timeoutSec, long tag) override
    {
        frames.append({hexFrame, host, port, timeoutSec, tag});
    }
    QStringList hexes() const
    {
        QStringList out;
        for (const SentFrame &f : frames)
            out << f.hex;
        return out;
    }
    QVector<SentFrame> frames;
};

// The frames of built requests, in order.
QStringList frameTexts(const Requests &requests);

// A loopback configuration with free ports and a temporary documents folder.
ContextConfig loopbackConfig(const QString &documentsDir, bool manualClock = true);

// A free UDP (and TCP) port on the address, picked by binding port 0.
quint16 freeUdpPort(const QHostAddress &address = QHostAddress(QStringLiteral("127.0.0.1")));
quint16 freeTcpPort(const QHostAddress &address = QHostAddress(QStringLiteral("127.0.0.1")));

// Runs the event loop until pred holds or timeoutMs passes; says which.
// For network I/O only: timers of the client go through the manual clock.
bool waitUntil(const std::function<bool()> &pred, int timeoutMs = 5000);
// Runs the event loop for a while (to show that something does NOT arrive).
void spinFor(int ms);

// A fresh client context per test: manual clock, temporary folder, a frame
// recorder installed as the request sender's sender (or, without the
// recorder, the UDP endpoint, as the app installs it), the phone address
// 127.0.0.1.
class ContextTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    AppContext &ctx() { return *m_ctx; }
    ManualScheduler &clock() { return *m_ctx->manualScheduler(); }
    // Selects a server for the builders (currentSelectDev.deviceIp).
    void selectServer(const QString &ip, const QString &windowId = QStringLiteral("01"));
    // Override to change the configuration before the context is built.
    virtual void configure(ContextConfig &) {}
    // Set false in a subclass constructor to send for real through the endpoint.
    bool m_useRecorder = true;

    QTemporaryDir m_dir;
    FrameRecorder m_recorder;
    std::unique_ptr<AppContext> m_ctx;
};
