#include "screens/settings/timecorrectionviewcontroller.h"

#include "net/qvmethodlib.h"
#include "protocol/settingscommands.h"

#include <QCoreApplication>

TimeCorrectionViewController::TimeCorrectionViewController() = default;

QString TimeCorrectionViewController::screenTitle() const
{
    return QCoreApplication::translate("TimeCorrectionViewController", "时间校正");
}

void TimeCorrectionViewController::sendOrder()
{
    QVmethodLib::reviseDeviceTime();
}
