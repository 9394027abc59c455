#pragma once

#include "protocol/frame.h"

#include <QMap>
#include <QString>
#include <QVariantList>
#include <optional>

// The play list of a window and what it plays: list, play, check, play
// control, play mode, append server files, the server's files, and the
// replies that carry a list entry, a server file and the play position.
namespace PlayListCommands {

// Play-list request (5701); answered by one 5601 reply per entry or one 5605.
Request playListQuery(const QString &windowId, const QString &phoneIpHex);
// Plays the entry at the index (4 hex digits) in the window (5703).
Request playSingle(const QString &indexHex, const QString &windowId);
// Checks ("01") or unchecks ("00") the entry at the index (5706).
Request checkEntry(const QString &indexHex, const QString &state, const QString &windowId);
// Play control order 00 to 04 (5704).
Request playControl(const QString &windowId, const QString &orderId);
// Play mode 00 to 03 (5705).
Request playMode(const QString &windowId, const QString &modeId);
// One append frame (5601) per server-file entry ("filesLenHex",
// "filesContentHex" as they stand), in order: ff ends every frame but the
// last, which ends with its own byte. An empty list gives none.
Requests appendFiles(const QVariantList &chooseList, const QString &windowId);
// Server-files request (5304); answered by one 5604 reply per file.
Request deviceFilesQuery(const QString &phoneIpHex);
// The frames the play control screen writes itself: the window's volume
// (5707, one byte), deleting the entry at a 0-based index from the list
// (5603; "0101" also deletes the server's file, "0201" the entry only) and
// clearing the list (5708).
Request windowVolume(const QString &windowId, qint64 volume);
Request deleteEntry(const QString &windowId, qint64 index, bool alsoDeleteFile);
Request clearPlayList(const QString &windowId);

// A play-list entry reply (5601): "vedioYinliang", "vedioWeizhi",
// "isEntry" (the check flag) as decimal text and "filesContent". Nothing
// when the reply is shorter than its layout (the path's byte count
// pointing past the end included).
std::optional<QMap<QString, QString>> getPlayControlListInfoWithModelNotice(const QString &replyHex);
// A play-state reply (5101): "windowID" and "thePlayVedio" (the index).
// Nothing for a reply shorter than 9 bytes. Whether it is the selected
// server's is the session's to say (QVmethodLib::getPlayControlIndexInfoWithModelNotice).
std::optional<QMap<QString, QString>> readPlayState(const QString &replyHex);
// A server-file reply (5604): "filesLenHex", "filesContentHex",
// "filesContent", "checked" ("NO") and "isFinished" ("0" while more
// follow, "1" for the last). Nothing when the name's byte count points
// past the end.
std::optional<QMap<QString, QString>> getDeviceFilesListInfoWithModelNotice(const QString &replyHex);

// Whether a list reply (play list or server files) is the last of its
// sequence: its text does not contain ff00, in either case, anywhere.
bool isLastOfSequence(const QString &replyHex);
// A name's UTF-8 bytes as text for a list. Bytes that are not UTF-8 still
// give a readable name: the good parts with U+FFFD for the bad ones, or
// the bytes in hex when nothing of it is text.
QString readableFileName(const QString &nameHex);
// The part of a server path after its last "/".
QString fileNameOfPath(const QString &path);

} // namespace PlayListCommands
