#pragma once

#include "simfamily.h"

#include <QHostAddress>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>

class QTemporaryDir;
class QTcpSocket;

// The file receiver: the TCP file stream and the three commands that go
// with a transfer.
//
// A stream carries announcements (5104: window, type, name, length), each
// followed by exactly that many bytes of content. The content is written to
// the media folder as it arrives and appears under its name only once the
// last byte is in; a connection that ends first leaves nothing. A name that
// could escape the folder or that the folder cannot hold is refused, and the
// connection with it.
//
// 5101 puts a received file on a window's play list, 5102 plays it (the
// play list family answers with 5101), 5103 drops a transfer that is still
// coming in. A 5101 or 5102 for a file still arriving waits for its last byte.
//
// For fault tests a server can refuse every connection, or drop or stall
// each one once a number of content bytes has arrived. The binary takes the
// same from its environment: QEVA_SIM_MEDIA_DIR (the media folder; a
// temporary one otherwise) and QEVA_SIM_TRANSFER_FAULT ("refuse",
// "drop:<bytes>", "stall:<bytes>").
class TransferFamily : public SimFamily
{
public:
    enum class Fault { None, Refuse, Drop, Stall };

    static constexpr int kMaxNameBytes = 200;
    static constexpr quint64 kMaxContentLength = quint64(16) << 30;

    TransferFamily();
    ~TransferFamily() override;

    QString name() const override { return QStringLiteral("transfer"); }
    void install(SimRoutes &routes) override;
    QVariantMap state() const override;

    // Where files go; the folder is made when missing.
    void setMediaDir(const QString &dir);
    QString mediaDir() const { return m_mediaDir; }
    // For connections accepted from now on.
    void setFault(Fault fault, qint64 afterContentBytes = 0);
    // "refuse", "drop:<bytes>", "stall:<bytes>" or "none"; false for anything else.
    bool setFault(const QString &text);

    // Files completely received, in order of arrival (a name sent twice counts twice).
    QStringList receivedFiles() const { return m_received; }
    QStringList receivingFiles() const;
    int discardedCount() const { return m_discarded; }
    int refusedCount() const { return m_refused; }

    // Whether a received name may become a file of the media folder.
    static bool isSafeName(const QString &name);

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
    void read(QTcpSocket *socket);
    bool readAnnouncement(Incoming &in);
    void finishFile(QTcpSocket *socket);
    // Forgets the connection and what it had written, then aborts it.
    void closeIncoming(QTcpSocket *socket, const QString &why, bool abort);
    void addToList(const SimRequest &q);
    void play(const SimRequest &q);
    void closeTransfer(const SimRequest &q);
    Incoming *incomingFor(const QString &name);
    bool hasFile(const QString &name) const;
    QString faultText() const;

    QString m_mediaDir;
    std::unique_ptr<QTemporaryDir> m_ownDir;
    Fault m_fault = Fault::None;
    qint64 m_faultAfter = 0;
    std::map<QTcpSocket *, std::unique_ptr<Incoming>> m_incoming;
    QMap<FileKey, Waiting> m_waiting;
    QStringList m_received;
    int m_discarded = 0;
    int m_refused = 0;
};
