#include "protocol/frame.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "net/framesender.h"
#include "session/commonmanager.h"

namespace Frame {

QString fill(const RequestSpec &row, const QStringList &fields)
{
    const QString format = QLatin1String(row.format);
    QString out;
    out.reserve(format.size() + 64);
    int next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format.at(i) == QLatin1Char('%') && i + 1 < format.size() && format.at(i + 1) == QLatin1Char('@')) {
            if (next < fields.size())
                out += fields.at(next);
            ++next;
            ++i;
        } else {
            out += format.at(i);
        }
    }
    if (next != fields.size())
        qCWarning(lcProtocol) << "frame" << row.code << "takes" << next << "fields, was given" << fields.size();
    return out;
}

quint16 portFor(const RequestSpec &row)
{
    const ContextConfig &cfg = AppContext::current()->config();
    switch (row.port) {
    case PortRole::Control: return cfg.serverPort;
    case PortRole::Time: return cfg.serverTimePort;
    case PortRole::FileStream: return cfg.serverFilePort;
    case PortRole::Returned: break;
    }
    return 0;
}

void sendTo(const RequestSpec &row, const QString &frameHex, const QString &host)
{
    if (row.port != PortRole::Control && row.port != PortRole::Time) {
        qCWarning(lcProtocol) << "frame" << row.code << "is not a datagram request";
        return;
    }
    AppContext::current()->sender().sendMessage(frameHex, host, portFor(row), row.timeoutSec, 0);
}

void send(const RequestSpec &row, const QString &frameHex)
{
    sendTo(row, frameHex, CommonManager::sharedManager().currentSelectDev.deviceIp);
}

} // namespace Frame
