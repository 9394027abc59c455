#pragma once

#include "simfamily.h"

#include <QHostAddress>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <map>
#include <memory>
#include <optional>

class QIODevice;
class QTemporaryDir;
class QTcpSocket;

// The file receiver: the TCP file stream and the three commands that go
// with a transfer.
//
// A stream carries announcements (5104: window, type, name, length), each
// followed by exactly that many bytes of content. The content is written to
// the media folder as it arrives and appears under its name only once the
// last byte is in; a connection that ends first leaves nothing. A name that
// could escape the folder, that the folder cannot hold, or that is a
// symbolic link there is refused, and the connection with it. A connection
// that sends nothing for SimLimits::tcpIdleMs while an announcement or
// content is due is closed (how many a peer may open is the server's
// business: SimServer::acceptTcp).
//
// 5101 puts a received file on a window's play list, 5102 plays it (the
// play list family answers with 5101), 5103 drops a transfer that is still
// coming in, when it comes from the address that opened the stream. A
// 5101 or 5102 for a file still arriving waits for its last byte.
//
// For fault tests a server can refuse every connection, or drop or stall
// each one once a number of content bytes has arrived (SimConfig::
// transferFault, or setFault()). The media folder is SimConfig::mediaDir,
// or a temporary one.
class TransferFamily : public SimFamily
{
public:
    enum class Fault { None, Refuse, Drop, Stall };

    static constexpr int kMaxNameBytes = 200;
    static constexpr quint64 kMaxContentLength = quint64(16) << 30;
    static constexpr int kKeptReceived = 10000;

    TransferFamily();
    ~TransferFamily() override;

    QString name() const override { return QStringLiteral("transfer"); }
    void install(SimRoutes &routes) override;
    QVariantMap state() const override;
    void serverStopping() override;

    // Where files go; the folder is made when missing.
    void setMediaDir(const QString &dir);
    QString mediaDir() const { return m_mediaDir; }
    // For connections accepted from now on.
    void setFault(Fault fault, qint64 afterContentBytes = 0);
    // "refuse", "drop:<bytes>", "stall:<bytes>" or "none"; false for anything else.
    bool setFault(const QString &text);
    static std::optional<QPair<Fault, qint64>> parseFault(const QString &text);

    // Files completely received, in order of arrival (a name sent twice
    // counts twice); the newest kKeptReceived.
    QStringList receivedFiles() const { return m_received; }
    QStringList receivingFiles() const;
    int discardedCount() const { return m_discarded; }
    int refusedCount() const { return m_refused; }
    // Whether the media folder holds the name as a regular file (a link does not count).
    bool hasReceived(const QString &name) const;

    // Whether a received name may become a file of the media folder.
    static bool isSafeName(const QString &name);

    // A stream from any device (the fuzz target feeds one from memory);
    // accepted TCP connections come here too. readStream() takes what the
    // device has; endStream() is the peer's close.
    void openStream(QIODevice *device, const QHostAddress &peer, quint16 port);
    void readStream(QIODevice *device);
    void endStream(QIODevice *device);
    // Closes what has been idle for too long (a timer calls it).
    void closeIdleStreams();

private:
    struct Incoming;
    struct Waiting
    {
        bool add = false;
        bool play = false;
        QHostAddress phone;
    };
    using FileKey = QPair<quint8, QString>; // window, name

    void accept(QTcpSocket *socket);
    bool readAnnouncement(Incoming &in);
    void finishFile(QIODevice *device);
    // Forgets the connection and what it had written, then closes it.
    void closeIncoming(QIODevice *device, const QString &why, bool abort);
    void addToList(const SimRequest &q);
    void play(const SimRequest &q);
    void closeTransfer(const SimRequest &q);
    Incoming *incomingFor(const QString &name);
    QString faultText() const;

    QString m_mediaDir;
    std::unique_ptr<QTemporaryDir> m_ownDir;
    Fault m_fault = Fault::None;
    qint64 m_faultAfter = 0;
    std::map<QIODevice *, std::unique_ptr<Incoming>> m_incoming;
    QMap<FileKey, Waiting> m_waiting;
    QStringList m_received;
    int m_discarded = 0;
    int m_refused = 0;
    QByteArray m_buffer; // every read of content goes through this one
    QTimer m_idleTimer;
};
