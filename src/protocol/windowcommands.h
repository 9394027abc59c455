#pragma once

#include "protocol/frame.h"

#include <QMap>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <optional>

// The play window commands: add, close, read and write a window's settings,
// and the reply that carries the settings.
namespace WindowCommands {

// The fixed add-window frame (5204).
Request addWindow();
// One close frame (5203) per entry, in order; each entry is a map with
// "WinID" (the window id text). An empty list gives none.
Requests closeWindows(const QVariantList &chooseWindow);
// Asks for the window's settings (5202), to be answered at the phone's address.
Request windowInfoQuery(const QString &windowId, const QString &phoneIpHex);
// A window's settings as the phone writes them (5201), field by field, with
// the dictionary key each field travels under in the client's operations;
// those keys are written here and nowhere else.
struct WindowRecord
{
    QString windowId;   // "windowID": the window's two hex digits
    QString fullScreen; // "IsFullScreen": "01" on, "02" off
    QString onTop;      // "IsUpTop": "01" on, "02" off
    QString x;          // "weizhiX": decimal text, 0 to 65535
    QString y;          // "weizhiY"
    QString width;      // "daxiaoX"
    QString height;     // "daxiaoY"
    QString effect;     // "animationHex": the switch effect, four hex digits
    QString interval;   // "qiehuanjiangeHex": seconds, four hex digits

    // The settings of the window windowId as a reply 5201 reports them (a
    // map of getPlayWindowInitInfoWithModelNotice). The reply carries no
    // full-screen or on-top flag: both are off, as the screen starts them.
    static WindowRecord fromReply(const QMap<QString, QString> &reply, const QString &windowId);
    // The effect and interval as numbers.
    qint64 effectNumber() const;
    qint64 intervalNumber() const;
    // The record as the dictionary setWindow() and
    // QVmethodLib::sendSetWindowStringWithParameters take.
    QVariantMap parameters() const;
};

// Writes a window's settings (5201). Keys as WindowRecord::parameters()
// writes them. A geometry value outside 0 to 65535, or a copied
// field that is not hex of its width, has no place in the 21 bytes: no
// frame is built then (and a line says why).
std::optional<Request> setWindow(const QVariantMap &parameters);

// The window-settings reply (5201): "XLong", "YLong", "WLong", "HLong",
// "ChangeType", "Changejiange" as decimal text; X and Y negative when their
// first byte is ff. Nothing for a reply shorter than its 18 bytes.
std::optional<QMap<QString, QString>> getPlayWindowInitInfoWithModelNotice(const QString &replyHex);

// A geometry field as the frame takes it: the leading decimal integer of
// the text (sign allowed, blanks before it skipped), 0 without digits.
qint64 windowGeometryValue(const QString &text);
// X or Y of the reply: ff then the magnitude byte, else unsigned 16 bits.
std::optional<qint64> windowPositionFromHex(const QString &fourHex);

} // namespace WindowCommands
