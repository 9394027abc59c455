#pragma once

#include "protocol/frame.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <optional>

// The device settings commands: the settings record (query 5502, set 5501,
// answered by 5501), the volume (query 5a02, set 5a03, answered by 5503),
// the screen switch 5507, colour balance 5508, video source 5509, rotation
// 550c, restart 5506 and the time correction 5a01. The 5a family goes to
// the server's time port, the rest to its control port (by their rows).
//
// Numbers come in as decimal text (read like a phone's text field: leading
// blanks, an optional sign, digits; anything else is 0) and codes as two hex
// digits copied into the frame. A number that does not fit its field, a code
// that is not two hex digits or a text longer than its 2-byte count would
// shift every later field, so no frame is built: the builders then give
// nothing and name the parameter in *misfit.
namespace SettingsCommands {

// --- Settings record -----------------------------------------------------
// The record the phone writes (5501), field by field, with the dictionary
// key each field travels under in the client's operations; those keys are
// written here and nowhere else.
struct SettingsRecord
{
    QString restartDevice; // "isRestartDevice": "01" restarts daily at restartTime, "00" not
    QString skipLogin;     // "isSkipLogin": "01" or "00"
    QString brightness;    // "liangdu": decimal text, 2 bytes
    QString wifi;          // "isOpenWifi": "01" on, "02" off
    QString background;    // "colorType": the colour's code (protocol/colorlist.h)
    QString restartTime;   // "time": HH:mm:ss, empty for none
    QString transferPath;  // "TransPath": the server's folder for received files

    // The record as a reply 5501 reports it (a map of
    // getSystemInitInfoWithModelNotice), with the flags read as the settings
    // screen reads them: saving it unchanged writes back what the server has.
    // A text left out of the reply (not UTF-8) is empty.
    static SettingsRecord fromReply(const QMap<QString, QString> &reply);
    // The record as the dictionary systemInfo() and
    // QVmethodLib::sendSetSystemInfoWithParamaters take.
    QMap<QString, QString> parameters() const;
};

// The query, carrying the phone's address.
Request systemInfoQuery(const QString &phoneIpHex);
// Keys as SettingsRecord::parameters() writes them; an absent key is "".
std::optional<Request> systemInfo(const QMap<QString, QString> &parameters, QString *misfit = nullptr);
// Reply 5501. "isRestart", "isSkipLogin", "isOpenWifi", "beijingColorHex",
// "isOpenkaiguan", "shipinyuanHex", "xuanzhuanHex": the field's two hex
// characters as they stand. "lightValue", "beijingColor", "getredValue",
// "getgreenValue", "getblueValue", "shipinyuan", "xuanzhuandu": decimal text.
// "restartTimeString", "transPathString": the texts, empty for a zero length
// (whose 2-byte placeholder is skipped); a text that is not UTF-8 leaves its
// key out. Nothing for a reply cut before the rotation byte or not hex.
std::optional<QMap<QString, QString>> getSystemInitInfoWithModelNotice(const QString &replyHex);

// --- Volume (time port) --------------------------------------------------
Request volumeQuery(const QString &phoneIpHex);
// One byte, 0 to 255.
std::optional<Request> volume(const QString &volume);
// Reply 5503: "MaxyinliangValue" and "TheyinliangValue" as decimal text.
std::optional<QMap<QString, QString>> getSystemYinliangValueWithModelNotice(const QString &replyHex);

// --- One-code commands ---------------------------------------------------
std::optional<Request> screenSwitch(const QString &switchCode);   // "01" on, "02" off
std::optional<Request> videoSource(const QString &sourceCode);    // "00" to "02"
std::optional<Request> rotation(const QString &rotationCode);     // "00" to "03"

// Keys "redValue", "greenValue", "blueValue", 2 bytes each.
std::optional<Request> color(const QMap<QString, QString> &parameters, QString *misfit = nullptr);

// --- Restart and clock ---------------------------------------------------
Request restart();
// The phone's time (milliseconds since 1970 UTC) and time-zone identifier.
// Time zones have short ASCII names; a longer one than a count can say is cut.
Request deviceTime(qint64 msSinceEpoch, const QByteArray &zoneId);

// A field's text as the builders read it; saturates at the 64-bit limits.
qint64 integerValue(const QString &text);
// Whether a code is exactly two hex digits.
bool isCode(const QString &code);

} // namespace SettingsCommands
