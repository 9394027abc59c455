#include "screens/settings/restartviewcontroller.h"

#include "net/qvmethodlib.h"
#include "protocol/settingscommands.h"

#include <QCoreApplication>

RestartViewController::RestartViewController() = default;

QString RestartViewController::screenTitle() const
{
    return QCoreApplication::translate("RestartViewController", "即时重启");
}

void RestartViewController::sendOrder()
{
    QVmethodLib::RestartDeviceOrder();
}
