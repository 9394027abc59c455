#pragma once

#include "net/filescontent.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <deque>
#include <memory>

class AppContext;
class QSocketNotifier;
class QTcpSocket;

// The file stream: one TCP connection to the selected server's file port
// (5761), opened on the first write after start or after a disconnect.
// Blocks are written in the order they were queued, one at a time, each
// with a tag; the write reports become notices that drive the file sending
// screen:
//
//   "didSendFilesLengthInfoNotice" {"partialLength", "alldataLength"}
//       for each write pass of a block that is not complete yet, except a
//       pass of exactly 131072 bytes, which has never been reported (the
//       screen's running total goes without it);
//   "didSendFilesInfoDoneNotice"
//       once a block whose tag is not 2000 (the announcement) is written;
//   "didSendFilesFailedNotice" {"message"}
//       the content's file is gone, was replaced, or changed size or bytes
//       since it was picked: the connection is closed at once, so that the
//       server never takes a short or mixed file for a whole one.
//
// A pass is one write to the system, at most kMaxPassLength bytes. Content
// with a file behind it is never held in memory: it goes from the file to
// the socket (sendfile, or writes from a mapped window, or reads into a
// small buffer), so memory stays flat whatever the file's size. Writing
// runs on the main thread, non-blocking, a few passes per event-loop turn.
// Nothing is reported for a connection that fails or is closed by the peer;
// the socket then stays, silent, until the next disconnectTosocket().
class SendSocket : public QObject
{
    Q_OBJECT

public:
    static constexpr long kFilesInfoTag = 2000;  // the file announcement
    static constexpr long kFilesDataTag = 10000; // the file's content
    static constexpr qint64 kUnreportedPassLength = 131072;
    static constexpr qint64 kMaxPassLength = qint64(8) << 20;
    static constexpr const char *kFilesLengthNotice = "didSendFilesLengthInfoNotice";
    static constexpr const char *kFilesDoneNotice = "didSendFilesInfoDoneNotice";
    static constexpr const char *kFilesFailedNotice = "didSendFilesFailedNotice";

    // How a file's content reaches the socket.
    enum class FileMethod {
        SendFile,    // the kernel copies from the file to the socket
        MappedWrite, // writes from a mapped window of the file
        ReadWrite,   // reads into a small buffer, then writes
    };

    explicit SendSocket(AppContext &ctx);
    ~SendSocket() override;
    static SendSocket &shareMananger();

    // The hex text as bytes; text that is not hex is logged and not sent.
    void sendString(const QString &hexString, long tag);
    // processIndex has no effect; callers pass 0.
    void sendData(const QByteArray &data, int processIndex = 0);
    // The same for content that may have a file behind it: the file is
    // opened now, and must still be the one that was picked.
    void sendData(const FilesContent &content, int processIndex = 0);
    // Closes at once, dropping whatever is still queued; the next write
    // connects afresh.
    void disconnectTosocket();

    // Null before the first write and after a disconnect.
    QTcpSocket *sendSocket() const { return m_socket; }
    // The last content block's length in KiB (bytes / 1024, truncated).
    qint32 alldataLength() const { return m_alldataLength; }
    // Blocks queued and not written completely yet.
    int queuedBlockCount() const { return int(m_blocks.size()); }
    // Why the connection stopped taking bytes; empty while it takes them.
    QString writeError() const { return m_writeError; }

    void setFileMethod(FileMethod method) { m_method = method; }
    FileMethod fileMethod() const { return m_method; }

    // The write reports, public so that their rules can be driven with
    // exact pass sizes.
    void socketDidWritePartialDataOfLength(qint64 partialLength, long tag);
    void socketDidWriteDataWithTag(long tag);

private:
    struct Block;

    void queue(std::unique_ptr<Block> block);
    void makeSureConnected();
    void didConnect(QTcpSocket *socket);
    void pump();
    // One write of the head block: the bytes written, 0 when the socket
    // takes nothing now, -1 when the stream has stopped.
    qint64 writePass(Block &block);
    qint64 writeFilePass(Block &block);
    void stopWriting(const QString &why);
    void failSource(const QString &why);
    void closeConnection();

    AppContext &m_ctx;
    QTcpSocket *m_socket = nullptr;
    int m_fd = -1; // our own descriptor of the connection, for the writes
    QSocketNotifier *m_writable = nullptr;
    std::deque<std::unique_ptr<Block>> m_blocks;
    qint32 m_alldataLength = 0;
    quint64 m_generation = 0; // changes whenever the connection goes
    bool m_pumping = false;
    QString m_writeError;
    FileMethod m_method = FileMethod::SendFile;
};
