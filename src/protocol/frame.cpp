#include "protocol/frame.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "net/framesender.h"
#include "session/commonmanager.h"

namespace Frame {

QString fill(const RequestSpec &spec, const QStringList &fields)
{
    const QString format = QLatin1String(spec.format);
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
        qCWarning(lcProtocol) << "frame" << spec.code << "takes" << next << "fields, was given" << fields.size();
    return out;
}

quint16 portFor(const RequestSpec &spec)
{
    const ContextConfig &cfg = AppContext::current()->config();
    switch (spec.port) {
    case PortRole::Control: return cfg.serverPort;
    case PortRole::Time: return cfg.serverTimePort;
    case PortRole::FileStream: return cfg.serverFilePort;
    case PortRole::Returned: break;
    }
    return 0;
}

void sendTo(const RequestSpec &spec, const QString &frameHex, const QString &host)
{
    if (spec.port != PortRole::Control && spec.port != PortRole::Time) {
        qCWarning(lcProtocol) << "frame" << spec.code << "is not a datagram request";
        return;
    }
    AppContext::current()->sender().sendMessage(frameHex, host, portFor(spec), spec.timeoutSec, 0);
}

void send(const RequestSpec &spec, const QString &frameHex)
{
    sendTo(spec, frameHex, CommonManager::sharedManager().currentSelectDev.deviceIp);
}

} // namespace Frame
