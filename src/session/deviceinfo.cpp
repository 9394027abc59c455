#include "session/deviceinfo.h"

#include <QStringList>

QStringList DeviceInfo::windowIds() const
{
    QStringList ids;
    const int count = deviceWindowNum.toInt();
    for (int r = 0; r < count && (r + 1) * 8 <= deviceInfo2.size(); ++r)
        ids << deviceInfo2.mid(r * 8, 2);
    return ids;
}
