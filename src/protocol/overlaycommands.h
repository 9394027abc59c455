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
// The inserted text the phone writes (5402), field by field, with the
// dictionary key each field travels under in the client's operations; those
// keys are written here and nowhere else.
struct SpotWordsRecord
{
    QString effect;    // "isEffect": "01" on, "00" off
    QString speed;     // "speed": decimal text, 1 byte
    QString color;     // "colorType": the colour's code (protocol/colorlist.h)
    QString direction; // "fangxiangType": the direction's code
    QString size;      // "wordsSize": decimal text, 1 byte
    QString x;         // "weizhiX": decimal text, 2 bytes
    QString y;         // "weizhiY"
    QString z;         // "weizhiZ"
    QString text;      // "wordsString": the text itself

    // The record as a reply 5401 reports it (a map of
    // getSpotWordsInitInfoWithModelNotice), read as the inserted-text screen
    // reads it: only 01 turns the effect on. A text that is not UTF-8 is empty.
    static SpotWordsRecord fromReply(const QMap<QString, QString> &reply);
    // The record as the dictionary spotWords() and
    // QVmethodLib::sendSetSpotWordsWithParameters take.
    QMap<QString, QString> parameters() const;
    // The dictionary key of the text, as a misfit names it.
    static QString textKey();
    // The rows of the colour and direction lists the codes stand for.
    int colorRow() const;
    int directionRow() const;
};

// The query, carrying the phone's address.
Request spotWordsQuery(const QString &phoneIpHex);
// Keys as SpotWordsRecord::parameters() writes them; an absent key is "".
std::optional<Request> spotWords(const QMap<QString, QString> &parameters, QString *misfit = nullptr);
// Reply 5401: "isWordsEffect", "wordsSpeedHex", "wordsColorHex" and
// "fangxiangHex" as their two hex characters; "wordsSpeed", "colorIndex",
// "fangxiangIndex", "wordSize", "XLong", "YLong", "ZLong" as decimal text;
// "contentString" the text, empty when it is not UTF-8. Nothing for a
// reply cut short (the text included).
std::optional<QMap<QString, QString>> getSpotWordsInitInfoWithModelNotice(const QString &replyHex);

// --- Clock overlay -------------------------------------------------------
// The clock overlay the phone writes (5503/5504), with the dictionary key
// each field travels under.
struct ClockRecord
{
    QString type;   // "clockType": "01" the digital clock, "02" the face
    QString x;      // "weizhiX": decimal text, 2 bytes
    QString y;      // "weizhiY"
    QString width;  // "daxiaoX"
    QString height; // "daxiaoY"
    QString run;    // "isExecute": "01" shown, "02" not

    // The record as a reply 5502 reports it, read as the clock screen reads
    // it: only 01 is the digital clock and only 1 runs it.
    static ClockRecord fromReply(const QMap<QString, QString> &reply);
    bool isDigital() const;
    bool isRunning() const;
    // The record as the dictionary clock() and
    // QVmethodLib::sendSetClockOrderWithParameters take.
    QMap<QString, QString> parameters() const;
};

Request clockQuery(const QString &phoneIpHex);
// Keys as ClockRecord::parameters() writes them; an absent key is "".
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
