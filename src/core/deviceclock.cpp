#include "core/deviceclock.h"

#include <QDateTime>
#include <QTimeZone>

DeviceClock::DeviceClock(AppContext &)
    : msSinceEpoch([] { return QDateTime::currentMSecsSinceEpoch(); })
    , zoneId([] { return QTimeZone::systemTimeZoneId(); })
{
}
