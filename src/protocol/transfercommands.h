#pragma once

#include "protocol/frame.h"

#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <optional>

// The commands that go with a file transfer. An entry of the file sending
// screen's list is a map with "filesType" ("01" picture, "03" video) and
// "filesName"; a window id is its two-character hex text. A name longer than
// its 2-byte count can say builds nothing (logged).
namespace TransferCommands {
// The file announcement 5104, written to the file stream (not UDP): window,
// type, name (with its byte count) and the content's length in 8 bytes.
std::optional<Request> filesInfo(qint64 contentLength, const QString &filesType, const QString &filesName,
                                 const QString &windowID);
// 5101, add the first entry's file to the window's play list. Nothing for
// an empty list: it names no file.
std::optional<Request> addToPlayList(const QVariantList &dataSource, const QString &windowID);
// 5102, show the first entry's file on the window at once.
std::optional<Request> showImage(const QVariantList &dataSource, const QString &windowID);
// 5103 for the entry: the server drops the transfer. It carries no window.
std::optional<Request> closeSendFiles(const QVariantMap &entry);
} // namespace TransferCommands
