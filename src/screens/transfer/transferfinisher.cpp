#include "screens/transfer/transferfinisher.h"

#include "core/appcontext.h"
#include "net/qvmethodlib.h"
#include "net/udpsocketcontroller.h"
#include "protocol/transfercommands.h"

#include <QPointer>

TransferFinisher::TransferFinisher(AppContext &ctx)
    : m_ctx(ctx)
{
}

TransferFinisher &TransferFinisher::shared()
{
    return AppContext::current()->shared<TransferFinisher>();
}

void TransferFinisher::addTovedioListLater(const QVariantMap &entry, const QString &windowID, QObject *asker,
                                           std::function<void()> askToPlay)
{
    ++m_pending;
    const QPointer<QObject> screen(asker);
    m_ctx.scheduler().after(kAddToListDelayMs, this, [this, entry, windowID, screen, askToPlay] {
        --m_pending;
        UdpSocketController::shareInstance().startUdpServer();
        QVmethodLib::addTovedioListWithDataSource(QVariantList{entry}, windowID);
        if (screen && askToPlay)
            askToPlay();
    });
}
