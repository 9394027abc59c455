#pragma once

#include <QByteArray>
#include <functional>

class AppContext;

// Where the time correction reads the phone's wall clock and time zone.
// One per context (AppContext::shared<DeviceClock>()), so that a test fixes
// both for its own context only.
struct DeviceClock
{
    explicit DeviceClock(AppContext &ctx);

    std::function<qint64()> msSinceEpoch;
    std::function<QByteArray()> zoneId;
};
