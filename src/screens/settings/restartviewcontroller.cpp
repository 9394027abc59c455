#include "screens/settings/restartviewcontroller.h"

#include "protocol/settingscommands.h"
#include "ui/screenregistry.h"

#include <QCoreApplication>

QEVA_REGISTER_SCREEN(RestartViewController)

RestartViewController::RestartViewController() = default;

QString RestartViewController::screenTitle() const
{
    return QCoreApplication::translate("RestartViewController", "即时重启");
}

void RestartViewController::sendOrder()
{
    QVmethodLib::RestartDeviceOrder();
}
