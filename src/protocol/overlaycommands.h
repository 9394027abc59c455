#pragma once

#include "protocol/frame.h"

#include <QMap>
#include <QString>
#include <optional>

// The overlay commands: inserted scrolling text (5401/5402), the clock
// overlay (5503/5504, answered by 5502) and the animation effects (5505).
//
// Numbers come in as decimal text and are read the way a phone's text field
// is: leading blanks, an optional sign, then digits; anything else counts as
// 0. A number that does not fit its field, a code that is not two hex digits
// or a text too long for one datagram would shift every later field of the
// frame, so no frame is built at all: the builders then give nothing and
// name the parameter in *misfit.
namespace OverlayCommands {

// --- Inserted text -------------------------------------------------------
// The query, carrying the phone's address.
Request spotWordsQuery(const QString &phoneIpHex);
// Keys "isEffect", "speed", "colorType", "fangxiangType", "wordsSize",
// "weizhiX", "weizhiY", "weizhiZ", "wordsString"; an absent key is "".
std::optional<Request> spotWords(const QMap<QString, QString> &parameters, QString *misfit = nullptr);
// Reply 5401: "isWordsEffect", "wordsSpeedHex", "wordsColorHex" and
// "fangxiangHex" as their two hex characters; "wordsSpeed", "colorIndex",
// "fangxiangIndex", "wordSize", "XLong", "YLong", "ZLong" as decimal text;
// "contentString" the text, empty when it is not UTF-8. Nothing for a
// reply cut short (the text included).
std::optional<QMap<QString, QString>> getSpotWordsInitInfoWithModelNotice(const QString &replyHex);

// --- Clock overlay -------------------------------------------------------
Request clockQuery(const QString &phoneIpHex);
// Keys "clockType", "weizhiX", "weizhiY", "daxiaoX", "daxiaoY", "isExecute".
std::optional<Request> clock(const QMap<QString, QString> &parameters, QString *misfit = nullptr);
// Reply 5502: "clockType" as its two hex characters; "XLong", "YLong",
// "WLong", "HLong" and "isexecute" as decimal text. Nothing for a reply cut short.
std::optional<QMap<QString, QString>> getClockSetInitInfoWithModelNotice(const QString &replyHex);

// --- Animation effects ---------------------------------------------------
// The effect frame of a chooser tag (1 to 5) for a window id, with the
// window id as it is held; empty for any other tag.
QString animationOrderString(int tag, const QString &windowId);
// A finished effect frame as a request to the control port; nothing for an
// empty text (it would go out as an empty datagram).
std::optional<Request> animationOrder(const QString &orderString);

// A field's text as the builders read it (see above); saturates at the
// 64-bit limits.
qint64 integerValue(const QString &text);

} // namespace OverlayCommands
