#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <deque>

class AppContext;
class QTcpSocket;

// The file stream: one TCP connection to the selected server's file port
// (5761), opened on the first write after start or after a disconnect.
// Blocks are written in the order they were queued, one at a time, each
// with a tag; the socket's write reports become two notices that drive the
// file sending screen:
//
//   "didSendFilesLengthInfoNotice" {"partialLength", "alldataLength"}
//       for each write pass of a block that is not complete yet, except a
//       pass of exactly 131072 bytes, which has never been reported (the
//       screen's running total goes without it);
//   "didSendFilesInfoDoneNotice"
//       once a block whose tag is not 2000 (the announcement) is written.
//
// A pass is whatever the operating system took in one write: the sender
// holds each block whole and adds no chunking, pacing or copying of its own.
// Nothing is reported for a connection that fails or is closed by the peer;
// the socket then stays, silent, until the next disconnectTosocket().
class SendSocket : public QObject
{
    Q_OBJECT

public:
    static constexpr long kFilesInfoTag = 2000;  // the file announcement
    static constexpr long kFilesDataTag = 10000; // the file's content
    static constexpr qint64 kUnreportedPassLength = 131072;
    static constexpr const char *kFilesLengthNotice = "didSendFilesLengthInfoNotice";
    static constexpr const char *kFilesDoneNotice = "didSendFilesInfoDoneNotice";

    explicit SendSocket(AppContext &ctx);
    ~SendSocket() override;
    static SendSocket &shareMananger();

    // The hex text as bytes; text that is not hex is logged and not sent.
    void sendString(const QString &hexString, long tag);
    // processIndex has no effect; callers pass 0.
    void sendData(const QByteArray &data, int processIndex = 0);
    // Closes at once, dropping whatever is still queued; the next write
    // connects afresh.
    void disconnectTosocket();

    // Null before the first write and after a disconnect.
    QTcpSocket *sendSocket() const { return m_socket; }
    // The last content block's length in KiB (bytes / 1024, truncated).
    qint32 alldataLength() const { return m_alldataLength; }
    // Blocks queued and not written completely yet.
    int queuedBlockCount() const { return int(m_blocks.size()); }

    // The socket layer's reports, public so that their rules can be driven
    // with exact pass sizes.
    void socketDidWritePartialDataOfLength(qint64 partialLength, long tag);
    void socketDidWriteDataWithTag(long tag);

private:
    struct Block
    {
        QByteArray data;
        long tag = 0;
        qint64 written = 0;
    };
    void queue(const QByteArray &bytes, long tag);
    void makeSureConnected();
    void writeHead();
    void bytesWritten(QTcpSocket *socket, qint64 count);

    AppContext &m_ctx;
    QTcpSocket *m_socket = nullptr;
    bool m_connected = false;
    bool m_headInFlight = false; // the front block has been handed to the socket
    std::deque<Block> m_blocks;
    qint32 m_alldataLength = 0;
};
