#pragma once

#include "core/appcontext.h"
#include "net/sendsocket.h"
#include "support/testcontext.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPainter>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QVariant>
#include <cstring>
#include <memory>

// Every notice of the file stream, in order.
struct StreamNotices
{
    explicit StreamNotices(AppContext &ctx)
    {
        ctx.notices().subscribe(&owner, QLatin1String(SendSocket::kFilesLengthNotice),
                                [this](const QVariant &o) { lengths.append(o.toMap()); });
        ctx.notices().subscribe(&owner, QLatin1String(SendSocket::kFilesDoneNotice),
                                [this](const QVariant &) { ++done; });
    }
    QList<qint64> partialLengths() const
    {
        QList<qint64> out;
        for (const QVariantMap &m : lengths)
            out << m.value(QStringLiteral("partialLength")).toLongLong();
        return out;
    }
    QObject owner;
    QList<QVariantMap> lengths;
    int done = 0;
};

// A file port on loopback that keeps what each connection brought.
class StreamReceiver
{
public:
    explicit StreamReceiver(const QHostAddress &address = QHostAddress(QStringLiteral("127.0.0.1")))
    {
        m_server.listen(address, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                const int index = int(m_received.size());
                m_received.append(QByteArray());
                m_sockets.append(s);
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, index] { m_received[index] += s->readAll(); });
            }
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    int connections() const { return int(m_received.size()); }
    QByteArray received(int connection) const { return m_received.value(connection); }
    qint64 total() const
    {
        qint64 n = 0;
        for (const QByteArray &b : m_received)
            n += b.size();
        return n;
    }

private:
    QTcpServer m_server;
    QList<QByteArray> m_received;
    QList<QPointer<QTcpSocket>> m_sockets;
};

// Bytes that show where a piece went missing or moved: no two 8-byte
// words alike, written a word at a time so that 50 MB stay quick.
inline QByteArray patternBytes(qsizetype size, quint32 seed = 1)
{
    QByteArray b(size, Qt::Uninitialized);
    quint64 x = 0x9e3779b97f4a7c15ull * (seed + 1);
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        memcpy(b.data() + i, &x, 8);
    }
    for (; i < size; ++i)
        b[i] = char(x >> (8 * (i % 8)));
    return b;
}

// A picture whose left half is red and right half blue: where the halves
// end up tells how it was turned, even through JPEG.
inline QImage halvesPicture(int width = 64, int height = 32)
{
    QImage img(width, height, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(0, 0, width / 2, height, Qt::red);
    p.fillRect(width / 2, 0, width - width / 2, height, Qt::blue);
    return img;
}

inline bool near(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 && qAbs(a.blue() - b.blue()) < 40;
}
