#pragma once

#include "protocol/qvmethodlib.h"

#include <QByteArray>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

// The commands that go with a file transfer. An entry of the file sending
// screen's list is a map with "filesType" ("01" picture, "03" video) and
// "filesName"; a window id is its two-character hex text.
namespace QVmethodLib {
// The file announcement 5104: window, type, name (with its byte count) and
// the content's length in 8 bytes. Empty when the name is longer than its
// 2-byte count can say.
QString filesInfoFrame(qint64 contentLength, const QString &filesType, const QString &filesName,
                       const QString &windowID);
// 5104 for content of this length, written to the file stream with tag
// 2000; it opens the connection.
void sendFilesInfo(qint64 contentLength, const QString &filesType, const QString &filesName,
                   const QString &windowID);
// The same for this content: only its length travels here.
void sendFilesInfo(const QByteArray &filesData, const QString &filesType, const QString &filesName,
                   const QString &windowID);
// 5101, add the first entry's file to the window's play list (UDP).
void addTovedioListWithDataSource(const QVariantList &dataSource, const QString &windowID);
// 5102, show the first entry's file on the window at once (UDP).
void toShowImageWithDataSource(const QVariantList &dataSource, const QString &windowID);
// Closes the file stream, then 5103 for the entry: the server drops the
// transfer. It carries no window.
void backToCloseSendFilesWithDataSource(const QVariantMap &entry);
} // namespace QVmethodLib
