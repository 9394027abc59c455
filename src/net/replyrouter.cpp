#include "net/replyrouter.h"

#include "core/appcontext.h"
#include "protocol/catalogue.h"
#include "protocol/hexcodec.h"
#include "session/commonmanager.h"

ReplyRouter::ReplyRouter(AppContext &ctx)
    : m_ctx(ctx)
{
}

ReplyRouter &ReplyRouter::shared()
{
    return AppContext::current()->shared<ReplyRouter>();
}

QString ReplyRouter::replyText(const QByteArray &datagram)
{
    QString hex = HexCodec::hexString(datagram).toLower();
    hex.remove(QLatin1Char(' '));
    return hex;
}

void ReplyRouter::setServerInfoHandler(QObject *owner, Handler handler)
{
    m_serverInfo = Slot{QPointer<QObject>(owner), std::move(handler)};
}

void ReplyRouter::setConnectionEndHandler(QObject *owner, Handler handler)
{
    m_connectionEnd = Slot{QPointer<QObject>(owner), std::move(handler)};
}

void ReplyRouter::setPlayStateHandler(QObject *owner, Handler handler)
{
    m_playState = Slot{QPointer<QObject>(owner), std::move(handler)};
}

void ReplyRouter::route(const QByteArray &datagram, const QString &senderHost)
{
    if (datagram.size() < 6)
        return; // no reply code
    const QString hex = replyText(datagram);
    const QString code = hex.left(12);

    // The connection replies act whoever sent them.
    if (code == QLatin1String(Catalogue::kServerInfoReply.codeText)) {
        m_serverInfo.call(hex, senderHost);
    } else if (code == QLatin1String(Catalogue::kConnectionEndReply.codeText)) {
        m_connectionEnd.call(hex, senderHost);
    } else if (code == QLatin1String(Catalogue::kPlayStateReply.codeText)) {
        m_playState.call(hex, senderHost);
        m_ctx.notices().post(QLatin1String(Catalogue::kPlayStateReply.notice), hex);
    }

    if (senderHost == CommonManager::sharedManager().currentPhoneIp())
        return; // our own multicast and broadcast traffic
    const ReplySpec *row = Catalogue::replyForCode(code);
    if (!row || row == &Catalogue::kServerInfoReply || row == &Catalogue::kConnectionEndReply
        || row == &Catalogue::kPlayStateReply)
        return;
    m_ctx.notices().post(QLatin1String(row->notice), hex);
}
