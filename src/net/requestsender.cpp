#include "net/requestsender.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "net/framesender.h"
#include "session/commonmanager.h"

RequestSender::RequestSender(AppContext &ctx)
    : m_ctx(ctx)
{
}

RequestSender &RequestSender::shared()
{
    return AppContext::current()->shared<RequestSender>();
}

quint16 RequestSender::portFor(const RequestSpec &row) const
{
    const ContextConfig &cfg = m_ctx.config();
    switch (row.port) {
    case PortRole::Control: return cfg.serverPort;
    case PortRole::Time: return cfg.serverTimePort;
    case PortRole::FileStream: return cfg.serverFilePort;
    case PortRole::Returned: break;
    }
    return 0;
}

void RequestSender::sendTo(const Request &request, const QString &host)
{
    if (!request.row)
        return;
    const RequestSpec &row = *request.row;
    if (row.port != PortRole::Control && row.port != PortRole::Time) {
        qCWarning(lcProtocol) << "frame" << row.code << "is not a datagram request";
        return;
    }
    if (!m_sender) {
        qevaDebug(lcNet, QStringLiteral("no sender for frame %1").arg(QLatin1String(row.code)));
        return;
    }
    m_sender->sendMessage(request.frame, host, portFor(row), row.timeoutSec, 0);
}

void RequestSender::send(const Request &request)
{
    sendTo(request, m_ctx.shared<CommonManager>().currentSelectDev.deviceIp);
}

void RequestSender::send(const Requests &requests)
{
    for (const Request &request : requests)
        send(request);
}
