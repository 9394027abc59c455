#pragma once

#include <QByteArray>
#include <QString>

// One file announced to a device in this run (table FilesTransInfo). A null
// QString / QByteArray is a NULL column.
struct PlayFilesInfo
{
    QString deviceWindowIDHex; // currentWindowID when the file was announced
    QString deviceID;          // userId of the device
    QString filesName;
    QString filesType;         // "01" picture, "03" video
    QString filesSize;         // 16 lowercase hex digits
    QString filesIsFinish;     // "0" while sending, "1" when done
    QByteArray deviceInfo1;    // the whole file
    QString deviceInfo2;       // always "0"
    QString deviceInfo3;       // always "0"; nothing reads it
};
