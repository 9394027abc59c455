#pragma once

#include "protocol/frame.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <optional>

// Timed-play schemes: listing the schemes of a window, reading the files of
// one scheme, and writing a scheme (its parameter frame, then one frame per
// file). Every frame goes to the control port.
namespace TimedPlayCommands {

// 5301: the schemes of a window; the server answers with one 5602 reply per
// scheme. Waits 10 s to be sent.
Request schemesQuery(const QString &windowId, const QString &phoneIpHex);
// 5303: the files of one scheme, answered with one 5603 reply per file.
Request schemeFilesQuery(const QString &windowId, const QString &projectId, const QString &phoneIpHex);
// 5302, for its caller and never sent: it carries the window and a count but
// no scheme id, so a server could not tell which schemes to delete.
Request deleteSchemes(qint64 count, const QString &windowId);

// The scheme's file frames (5602), one per entry in order: every frame but
// the last ends with ff, the last with (characters of length and name) mod
// 100. Entries without a 4-digit "filesLenHex" or with a "filesContentHex"
// that is not hex are left out (logged): they would shift every later byte.
Requests schemeFiles(const QVariantList &chooseList);

struct TimePlayParamFields;

// A scheme as a scheme reply (5602) lists it, with the dictionary key each
// field is kept under in the scheme dictionary (the rows of the scheme
// lists); those keys are written here and nowhere else. Fields named ...Hex
// in their key are the hex as the reply has it.
struct SchemeRecord
{
    QString windowId;          // "windIDHex"
    QString id;                // "projectIDHex"
    QString nameLength;        // "projectNameLen": the name's byte count, decimal
    QString name;              // "projectName": the name as text
    QString clockType;         // "clockDict" "clockTypeHex": "00" none, "01" digital, "02" face
    QString clockX, clockY;    // "clockXHex", "clockYHex"
    QString clockWidth;        // "clockWHex"
    QString clockHeight;       // "clockHHex"
    QString textOn;            // "wordsDict" "wordIsExistHex"
    QString textSpeed;         // "wordSpeedHex"
    QString textColor;         // "wordColorHex"
    QString textDirection;     // "wordFangxiangHex"
    QString textSize;          // "wordSizeHex"
    QString textX, textY, textZ; // "wordXHex", "wordYHex", "wordZHex"
    QString textLength;        // "wordsLenHex"
    QString text;              // "wordString": UTF-8 hex, not decoded
    QString scheduleLength;    // "timeDict" "timeStartLenHex"
    QString schedule;          // "timeStartString": UTF-8 hex, not decoded

    // The record of a scheme dictionary; a key it lacks reads as "".
    static SchemeRecord fromScheme(const QVariantMap &scheme);
    // The scheme dictionary, "checked" "NO".
    QVariantMap scheme() const;
    // The parameter frame's fields that write the scheme back as it is
    // (the name in UTF-8, every length counted again).
    TimePlayParamFields parameterFields() const;
};

// One scheme reply (5602) as a scheme record: "windIDHex", "projectIDHex",
// "projectNameLen", "projectName", "clockDict", "wordsDict", "timeDict" and
// "checked" "NO"; values under keys ending in Hex exactly as the reply has
// them. Nothing for a reply of another code, one shorter than its layout,
// or one whose lengths point past its end.
std::optional<QVariantMap> getReceiveTimePlayListInfoNotice(const QString &replyHex);
// One scheme file reply (5603) as a server-file entry: "filesLenHex",
// "filesContentHex" (as they stand), "filesContent", "checked" "NO".
std::optional<QMap<QString, QString>> getTimePlayListFilesInfoWithModelNotice(const QString &replyHex);
// More replies follow this one: its text holds ff00 anywhere, in either case.
bool isTimePlayReplyFollowed(const QString &replyHex);

// The fields of the scheme parameter frame, each as the hex text it is
// written with, in frame order.
struct TimePlayParamFields
{
    QString windowID;          // 1 byte
    QString projectIDHex;      // 1 byte
    QString projectNameLenHex; // 2 bytes: byte count of the name
    QString projectNameHex;    // the name, UTF-8
    QString clockTypeHex;      // 1 byte: "00", "01", "02"
    QString clockXHex, clockYHex, clockWHex, clockHHex; // 2 bytes each
    QString wordIsExistHex;    // 1 byte
    QString wordSpeedHex;      // 1 byte
    QString wordColorHex;      // 1 byte
    QString wordFangxiangHex;  // 1 byte
    QString wordSizeHex;       // 1 byte
    QString wordXHex, wordYHex, wordZHex; // 2 bytes each
    QString wordsLenHex;       // 2 bytes
    QString wordsHex;          // the text, UTF-8
    QString timeLenHex;        // 2 bytes
    QString timeHex;           // the schedule text, UTF-8
};

// The parameter frame (5602, 21 fields; 10 s send time-out). Nothing when a
// field is not hex of its width or a length does not match its text: a frame
// with a field one digit too wide would shift everything after it on the server.
std::optional<Request> schemeParameters(const TimePlayParamFields &fields);

} // namespace TimedPlayCommands

// Small helpers shared by the timed-play screens.
namespace TimePlay {
// The leading decimal integer of an entered text: 0 when there is none,
// negative when the text starts with "-" (callers refuse those).
qint64 leadingInteger(const QString &text);
// The leading decimal integer of a text read as hex ("0c" gives 12);
// 0 when the text is not hex.
qint64 hexNumber(const QString &hex);
// UTF-8 hex as text; bytes that are not UTF-8 are shown with replacement
// marks rather than dropped, so a row never goes blank.
QString textFromHex(const QString &hex);

// The scroll directions, "00" to "04", in code order.
QStringList directionLabels();
QStringList directionCodes();
} // namespace TimePlay
