#include "simfamily.h"

#include "core/logescape.h"
#include "protocol/hexcodec.h"
#include "simframe.h"
#include "simserver.h"

QString simPortName(SimPort port)
{
    return port == SimPort::Time ? QStringLiteral("time") : QStringLiteral("control");
}

SimReader SimRequest::reader() const
{
    return SimReader(frame, SimFrame::kHeaderSize);
}

QHostAddress SimRequest::trailingAddress() const
{
    if (frame.size() < SimFrame::kHeaderSize + 4)
        return {};
    return SimReader(frame, frame.size() - 4).ipv4("phone address");
}

QString SimRequest::hex() const
{
    return HexCodec::hexString(frame);
}

void SimFamily::log(const QString &line) const
{
    m_server->log(line);
}

void SimFamily::logState(const QString &text) const
{
    m_server->log(QStringLiteral("state %1 %2").arg(name(), text));
}

void SimFamily::malformed(const SimRequest &request, const QString &why) const
{
    m_server->log(QStringLiteral("malformed %1: %2").arg(SimFrame::codeText(request.code), why));
}

QHostAddress SimFamily::replyAddress(const SimRequest &request, const QHostAddress &carried) const
{
    return m_server->replyAddress(request, carried);
}

bool SimFamily::sendReply(const QHostAddress &phone, const QByteArray &frame) const
{
    return m_server->sendToPhone(phone, frame);
}

bool SimFamily::sendReply(const QHostAddress &phone, const QString &hexFrame) const
{
    const std::optional<QByteArray> bytes = HexCodec::hexStringToByteToNSData(hexFrame);
    if (!bytes || bytes->isEmpty()) {
        m_server->log(QStringLiteral("reply not sent (%1): not hex: %2").arg(name(), LogEscape::text(hexFrame)));
        return false;
    }
    return m_server->sendToPhone(phone, *bytes);
}
