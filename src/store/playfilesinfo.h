#pragma once

#include <QByteArray>
#include <QString>

// One file announced to a device in this run (table FilesTransInfo). A null
// QString / QByteArray is a NULL column. Rows written before files were
// referred to hold every file's bytes in deviceInfo1 and "0" in deviceInfo2.
struct PlayFilesInfo
{
    QString deviceWindowIDHex; // currentWindowID when the file was announced
    QString deviceID;          // userId of the device
    QString filesName;
    QString filesType;         // "01" picture, "03" video
    QString filesSize;         // 16 lowercase hex digits
    QString filesIsFinish;     // "0" while sending, "1" when done
    // The content when no file is behind it (a picture encoded here); NULL
    // for a picked file, and never read by the history list.
    QByteArray deviceInfo1;
    QString deviceInfo2;       // "0", or the URL of the picked file sent
    QString deviceInfo3;       // always "0"; nothing reads it
};
