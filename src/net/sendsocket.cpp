#include "net/sendsocket.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "protocol/commonclass.h"
#include "session/commonmanager.h"

#include <QTcpSocket>
#include <QVariantMap>

SendSocket::SendSocket(AppContext &ctx)
    : m_ctx(ctx)
{
}

SendSocket::~SendSocket()
{
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        delete m_socket;
    }
}

SendSocket &SendSocket::shareMananger()
{
    return AppContext::current()->shared<SendSocket>();
}

void SendSocket::sendString(const QString &hexString, long tag)
{
    const std::optional<QByteArray> bytes = CommonClass::hexStringToByteToNSData(hexString);
    if (!bytes) {
        qevaLog(lcNet, QStringLiteral("not hex, not sent: %1").arg(hexString.left(64)));
        return;
    }
    queue(*bytes, tag);
}

void SendSocket::sendData(const QByteArray &data, int processIndex)
{
    Q_UNUSED(processIndex)
    m_alldataLength = qint32(data.size() / 1024);
    queue(data, kFilesDataTag);
}

void SendSocket::queue(const QByteArray &bytes, long tag)
{
    makeSureConnected();
    m_blocks.push_back(Block{bytes, tag, 0});
    writeHead();
}

void SendSocket::makeSureConnected()
{
    // A socket that exists is used as it is, even one the peer has closed:
    // only a disconnect makes the next write connect again.
    if (m_socket)
        return;
    m_socket = new QTcpSocket(this);
    m_connected = false;
    m_headInFlight = false;
    QTcpSocket *socket = m_socket;
    connect(socket, &QTcpSocket::connected, this, [this, socket] {
        if (socket != m_socket)
            return;
        m_connected = true;
        writeHead();
    });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket](qint64 n) { bytesWritten(socket, n); });
    connect(socket, &QTcpSocket::errorOccurred, this, [socket](QAbstractSocket::SocketError) {
        qevaLog(lcNet, QStringLiteral("file stream error: %1").arg(socket->errorString()));
    });
    // The disconnect report itself changes nothing: the socket stays until
    // the next disconnectTosocket().

    const QString host = CommonManager::sharedManager().currentSelectDev.deviceIp;
    if (host.isEmpty()) {
        qevaLog(lcNet, QStringLiteral("connectOK:%1").arg(0));
        qevaLog(lcNet, QStringLiteral("connect error: %1").arg(QStringLiteral("no server address")));
        return;
    }
    socket->connectToHost(host, m_ctx.config().serverFilePort);
    qevaLog(lcNet, QStringLiteral("connectOK:%1").arg(1));
}

void SendSocket::writeHead()
{
    if (!m_socket || !m_connected || m_headInFlight || m_blocks.empty())
        return;
    Block &head = m_blocks.front();
    if (head.data.isEmpty()) {
        // Nothing to write is written at once; it would never be reported.
        const long tag = head.tag;
        m_blocks.pop_front();
        QTcpSocket *socket = m_socket;
        socketDidWriteDataWithTag(tag);
        if (socket == m_socket)
            writeHead();
        return;
    }
    m_headInFlight = true;
    // Shares the block's buffer: Qt keeps a reference, not a copy.
    m_socket->write(head.data);
}

void SendSocket::bytesWritten(QTcpSocket *socket, qint64 count)
{
    if (socket != m_socket || !m_headInFlight || m_blocks.empty())
        return;
    Block &head = m_blocks.front();
    head.written += count;
    const long tag = head.tag;
    if (head.written < head.data.size()) {
        socketDidWritePartialDataOfLength(count, tag);
        return;
    }
    // Written completely: the buffer goes now, not with the next transfer.
    m_blocks.pop_front();
    m_headInFlight = false;
    socketDidWriteDataWithTag(tag);
    // A receiver of the notice may have disconnected or queued more.
    if (socket == m_socket)
        writeHead();
}

void SendSocket::socketDidWritePartialDataOfLength(qint64 partialLength, long tag)
{
    Q_UNUSED(tag)
    qevaLog(lcNet, QStringLiteral("partialLength = %1").arg(partialLength));
    if (partialLength == kUnreportedPassLength)
        return;
    m_ctx.notices().post(QLatin1String(kFilesLengthNotice),
                         QVariantMap{{QStringLiteral("partialLength"), partialLength},
                                     {QStringLiteral("alldataLength"), m_alldataLength}});
}

void SendSocket::socketDidWriteDataWithTag(long tag)
{
    if (tag == kFilesInfoTag)
        return;
    m_ctx.notices().post(QLatin1String(kFilesDoneNotice));
}

void SendSocket::disconnectTosocket()
{
    m_blocks.clear();
    m_headInFlight = false;
    m_connected = false;
    if (!m_socket)
        return;
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    // May be inside one of its own signals.
    socket->deleteLater();
}
