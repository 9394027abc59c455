#pragma once

#include <QString>

// The last known play state of one window of a device (table
// DeviceNormalInfo). A null QString is a NULL column.
//
// FMManager also has an operation named DeviceNormalInfo() (the Part's
// "delete every play-state row"); inside FMManager's scope the record is
// therefore spelled ::DeviceNormalInfo. Everywhere else the plain name works.
struct DeviceNormalInfo
{
    QString deviceWindowIDHex; // 2 hex digits
    QString deviceIp;
    QString playType;          // always "0"
    QString playIndex;         // decimal text
    QString playYinliang;      // "0" on insert, "" after an update
    QString deviceInfo1;       // always "0"
    QString deviceInfo2;       // always "0"
    QString deviceInfo3;       // always "0"; nothing reads it
};
