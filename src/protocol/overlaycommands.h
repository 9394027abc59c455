#pragma once

#include "protocol/qvmethodlib.h"

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
// frame, so such a frame is not sent at all: the set operations then return
// false and name the parameter in *misfit.
namespace QVmethodLib {

// --- Inserted text -------------------------------------------------------
// The query, carrying the phone's address, to the selected server.
void sendWordsinitializeInfo();
// Reply 5401: "isWordsEffect", "wordsSpeedHex", "wordsColorHex" and
// "fangxiangHex" as their two hex characters; "wordsSpeed", "colorIndex",
// "fangxiangIndex", "wordSize", "XLong", "YLong", "ZLong" as decimal text;
// "contentString" the text, empty when it is not UTF-8. Nothing for a
// reply cut short (the text included).
std::optional<QMap<QString, QString>> getSpotWordsInitInfoWithModelNotice(const QString &replyHex);
// Keys "isEffect", "speed", "colorType", "fangxiangType", "wordsSize",
// "weizhiX", "weizhiY", "weizhiZ", "wordsString"; an absent key is "".
bool sendSetSpotWordsWithParameters(const QMap<QString, QString> &parameters, QString *misfit = nullptr);

// --- Clock overlay -------------------------------------------------------
void sendClockinitializeInfo();
// Reply 5502: "clockType" as its two hex characters; "XLong", "YLong",
// "WLong", "HLong" and "isexecute" as decimal text. Nothing for a reply cut short.
std::optional<QMap<QString, QString>> getClockSetInitInfoWithModelNotice(const QString &replyHex);
// Keys "clockType", "weizhiX", "weizhiY", "daxiaoX", "daxiaoY", "isExecute".
bool sendSetClockOrderWithParameters(const QMap<QString, QString> &parameters, QString *misfit = nullptr);

// --- Animation effects ---------------------------------------------------
// Sends a finished effect frame unchanged to the selected server's control
// port. An empty text is not sent (it would go out as an empty datagram).
void sendAnimationOrderWithOrderString(const QString &orderString);

} // namespace QVmethodLib

namespace OverlayCommands {
// A field's text as the builders read it (see above); saturates at the
// 64-bit limits.
qint64 integerValue(const QString &text);

// The two frames as the set operations would send them; nothing (and the
// parameter in *misfit) when one does not fit.
std::optional<QString> spotWordsFrame(const QMap<QString, QString> &parameters, QString *misfit = nullptr);
std::optional<QString> clockFrame(const QMap<QString, QString> &parameters, QString *misfit = nullptr);

// The effect frame of a chooser tag (1 to 5) for a window id, with the
// window id as it is held; empty for any other tag.
QString animationOrderString(int tag, const QString &windowId);
} // namespace OverlayCommands
