#pragma once

#include "protocol/qvmethodlib.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <functional>
#include <optional>

class AppContext;

// The device settings commands: the settings record (query 5502, set 5501,
// answered by 5501), the volume (query 5a02, set 5a03, answered by 5503),
// the screen switch 5507, colour balance 5508, video source 5509, rotation
// 550c, restart 5506 and the time correction 5a01. The 5a family goes to
// the server's time port, the rest to its control port.
//
// Numbers come in as decimal text (read like a phone's text field: leading
// blanks, an optional sign, digits; anything else is 0) and codes as two hex
// digits copied into the frame. A number that does not fit its field, a code
// that is not two hex digits or a text longer than its 2-byte count would
// shift every later field, so such a frame is not sent: the set operations
// then return false and name the parameter in *misfit.
namespace QVmethodLib {

// --- Settings record -----------------------------------------------------
// The query, carrying the phone's address.
void sendSystemSetInitializeInfo();
// Reply 5501. "isRestart", "isSkipLogin", "isOpenWifi", "beijingColorHex",
// "isOpenkaiguan", "shipinyuanHex", "xuanzhuanHex": the field's two hex
// characters as they stand. "lightValue", "beijingColor", "getredValue",
// "getgreenValue", "getblueValue", "shipinyuan", "xuanzhuandu": decimal text.
// "restartTimeString", "transPathString": the texts, empty for a zero length
// (whose 2-byte placeholder is skipped); a text that is not UTF-8 leaves its
// key out. Nothing for a reply cut before the rotation byte or not hex.
std::optional<QMap<QString, QString>> getSystemInitInfoWithModelNotice(const QString &replyHex);
// Keys "isRestartDevice", "isSkipLogin", "liangdu", "isOpenWifi",
// "colorType", "time", "TransPath"; an absent key is "".
bool sendSetSystemInfoWithParamaters(const QMap<QString, QString> &parameters, QString *misfit = nullptr);

// --- Volume (time port) --------------------------------------------------
void getSystemYinliangValueInfo();
// Reply 5503: "MaxyinliangValue" and "TheyinliangValue" as decimal text.
std::optional<QMap<QString, QString>> getSystemYinliangValueWithModelNotice(const QString &replyHex);
// One byte, 0 to 255.
bool sendSetSystemYinLiangWithParamaters(const QString &volume);

// --- One-code commands ---------------------------------------------------
bool sendSetSystemKaiguanPingWithParamaters(const QString &switchCode);      // "01" on, "02" off
bool sendSetSystemshipinyuanWithParamaters(const QString &sourceCode);       // "00" to "02"
bool sendSetSystemPingmuXuanzhuanWithParamaters(const QString &rotationCode); // "00" to "03"

// Keys "redValue", "greenValue", "blueValue", 2 bytes each.
bool sendSetSystemColorWithParamaters(const QMap<QString, QString> &parameters, QString *misfit = nullptr);

// --- Restart and clock ---------------------------------------------------
void RestartDeviceOrder();
// The phone's time (milliseconds since 1970 UTC) and time-zone identifier,
// as the context's DeviceClock gives them, to the time port.
void reviseDeviceTime();

} // namespace QVmethodLib

// Where the time correction reads the phone's wall clock and time zone.
// One per context (AppContext::shared<DeviceClock>()), so that a test fixes
// both for its own context only.
struct DeviceClock
{
    explicit DeviceClock(AppContext &ctx);

    std::function<qint64()> msSinceEpoch;
    std::function<QByteArray()> zoneId;
};

namespace SettingsCommands {
// A field's text as the builders read it; saturates at the 64-bit limits.
qint64 integerValue(const QString &text);
// Whether a code is exactly two hex digits.
bool isCode(const QString &code);

// The frames as the operations above would send them; nothing (and the
// parameter in *misfit) when one does not fit.
std::optional<QString> systemInfoFrame(const QMap<QString, QString> &parameters, QString *misfit = nullptr);
std::optional<QString> volumeFrame(const QString &volume);
std::optional<QString> colorFrame(const QMap<QString, QString> &parameters, QString *misfit = nullptr);
// Time zones have short ASCII names; a longer one than a count can say is cut.
QString deviceTimeFrame(qint64 msSinceEpoch, const QByteArray &zoneId);
} // namespace SettingsCommands
