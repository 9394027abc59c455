#pragma once

#include <QString>
#include <QStringList>

// One server as the phone knows it (table UserInfo). A null QString is a
// field that was never set (a NULL column reads back as one).
struct DeviceInfo
{
    QString userName;        // always "Default"
    QString deviceName;
    QString devicePassword;
    QString deviceWindowHex; // window count, 2 hex digits
    QString deviceWindowNum; // window count, decimal text
    QString deviceIp;        // sender address of its announcement; every request goes here
    QString userId;          // 8 hex digits from the announcement
    QString deviceInfo1;     // login state "1" / "0"
    QString deviceInfo2;     // announcement text from the first window record on
    QString deviceInfo3;     // always "0"
    qint64 currentPlayIndex = 0;

    // The window ids, from the 8-digit records of deviceInfo2 (as many as
    // deviceWindowNum says and the text holds).
    QStringList windowIds() const;
    bool isEmpty() const { return deviceIp.isEmpty() && userId.isEmpty() && deviceName.isNull(); }
};
