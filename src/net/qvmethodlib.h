#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <optional>

// The command class: every request operation under the name the client
// knows it by. Each one builds its frame with the protocol layer's builder
// (protocol/*commands.h, which documents fields and limits), fills in what
// the session knows (the phone's address, the user id kept for a server)
// and hands the request to the request sender, which addresses it to the
// selected server. The set operations say whether a frame was built and
// handed over; a parameter that does not fit is named in *misfit.
namespace QVmethodLib {

// --- System settings -----------------------------------------------------
void sendSystemSetInitializeInfo();
bool sendSetSystemInfoWithParamaters(const QMap<QString, QString> &parameters, QString *misfit = nullptr);
void getSystemYinliangValueInfo();
bool sendSetSystemYinLiangWithParamaters(const QString &volume);
bool sendSetSystemKaiguanPingWithParamaters(const QString &switchCode);
bool sendSetSystemshipinyuanWithParamaters(const QString &sourceCode);
bool sendSetSystemPingmuXuanzhuanWithParamaters(const QString &rotationCode);
bool sendSetSystemColorWithParamaters(const QMap<QString, QString> &parameters, QString *misfit = nullptr);
void RestartDeviceOrder();
// The phone's time and time zone, as the context's DeviceClock gives them.
void reviseDeviceTime();

// --- Inserted text, clock, animation -------------------------------------
void sendWordsinitializeInfo();
bool sendSetSpotWordsWithParameters(const QMap<QString, QString> &parameters, QString *misfit = nullptr);
void sendClockinitializeInfo();
bool sendSetClockOrderWithParameters(const QMap<QString, QString> &parameters, QString *misfit = nullptr);
// A finished effect frame, unchanged; an empty one is not sent.
void sendAnimationOrderWithOrderString(const QString &orderString);

// --- Play windows --------------------------------------------------------
void sendAddNewWindow();
void sendCloseNewWindowWithChooseWindow(const QVariantList &chooseWindow);
void getWindowinitializeInfoWithWindowID(const QString &windowId);
void sendSetWindowStringWithParameters(const QVariantMap &parameters);

// --- Play list and play control ------------------------------------------
void getPlayControlListInfoWithWindowID(const QString &windowId);
void getVedioSiglePlayWithVedioIndexHex(const QString &indexHex, const QString &windowId);
void sendFielsToListWithVedioIndexHex(const QString &indexHex, const QString &state, const QString &windowId);
void sendPlayWithWindowID(const QString &windowId, const QString &orderId);
void sendChangePlayModelWithWindowID(const QString &windowId, const QString &modeId);
void addPlayFiletoPlayListWithChooseListArray(const QVariantList &chooseList, const QString &windowId);
void getDeviceFilesInfo();
// A play-state reply (5101) read as PlayListCommands::readPlayState does,
// when the preference "CurrentIP" names the selected server; an empty map
// when it names another. Nothing for a reply shorter than 9 bytes.
std::optional<QMap<QString, QString>> getPlayControlIndexInfoWithModelNotice(const QString &replyHex);

// --- Timed play ----------------------------------------------------------
void getTimePlayListInitializeInfoWithWindowID(const QString &windowId);
void getTimePlayDetailInfoWithWindowID(const QString &windowId, const QString &projectId);
// Returned to the caller, never sent (see TimedPlayCommands::deleteSchemes).
QString deleteSelectedPlayProjectWithProjectCount(qint64 count, const QString &windowId);
void addPlayFiletoTimePlayListWithChooseListArray(const QVariantList &chooseList);
// A parameter frame the timed-play editor built (10 s send time-out).
void sendTimePlayParam(const QString &frameHex);

// --- File transfer -------------------------------------------------------
// The file announcement for content of this length, written to the file
// stream with tag 2000; it opens the connection.
void sendFilesInfo(qint64 contentLength, const QString &filesType, const QString &filesName,
                   const QString &windowID);
// The same for this content: only its length travels here.
void sendFilesInfo(const QByteArray &filesData, const QString &filesType, const QString &filesName,
                   const QString &windowID);
void addTovedioListWithDataSource(const QVariantList &dataSource, const QString &windowID);
void toShowImageWithDataSource(const QVariantList &dataSource, const QString &windowID);
// Closes the file stream, then 5103 for the entry.
void backToCloseSendFilesWithDataSource(const QVariantMap &entry);

// --- Login ---------------------------------------------------------------
// The login frame 5002 answering a server-information reply, with the user
// id this phone keeps for that server and its own address; nothing when the
// reply is too short or malformed for it.
std::optional<QString> loginFrameWithHexString(const QString &hexString, const QString &userNameString);
// Builds 5002 and sends it to the selected server. The host of the reply is
// not the destination: the login always goes to currentSelectDev, so with no
// server selected it is not delivered.
void sendXintiaoOrderWithHexString(const QString &hexString, const QString &userNameString, const QString &host);

} // namespace QVmethodLib
