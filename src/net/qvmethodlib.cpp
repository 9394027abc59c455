#include "net/qvmethodlib.h"

#include "core/appcontext.h"
#include "core/deviceclock.h"
#include "net/requestsender.h"
#include "net/sendsocket.h"
#include "protocol/logincommands.h"
#include "protocol/overlaycommands.h"
#include "protocol/playlistcommands.h"
#include "protocol/settingscommands.h"
#include "protocol/timedplaycommands.h"
#include "protocol/transfercommands.h"
#include "protocol/windowcommands.h"
#include "session/commonmanager.h"

namespace {
void send(const Request &request)
{
    RequestSender::shared().send(request);
}

void send(const Requests &requests)
{
    RequestSender::shared().send(requests);
}

// A built request goes out; says whether there was one.
bool sendIfBuilt(const std::optional<Request> &request)
{
    if (!request)
        return false;
    send(*request);
    return true;
}

QString phoneIpHex()
{
    return CommonManager::sharedManager().currentPhoneIpHex();
}
} // namespace

namespace QVmethodLib {

// --- System settings -----------------------------------------------------

void sendSystemSetInitializeInfo()
{
    send(SettingsCommands::systemInfoQuery(phoneIpHex()));
}

bool sendSetSystemInfoWithParamaters(const QMap<QString, QString> &parameters, QString *misfit)
{
    return sendIfBuilt(SettingsCommands::systemInfo(parameters, misfit));
}

void getSystemYinliangValueInfo()
{
    send(SettingsCommands::volumeQuery(phoneIpHex()));
}

bool sendSetSystemYinLiangWithParamaters(const QString &volume)
{
    return sendIfBuilt(SettingsCommands::volume(volume));
}

bool sendSetSystemKaiguanPingWithParamaters(const QString &switchCode)
{
    return sendIfBuilt(SettingsCommands::screenSwitch(switchCode));
}

bool sendSetSystemshipinyuanWithParamaters(const QString &sourceCode)
{
    return sendIfBuilt(SettingsCommands::videoSource(sourceCode));
}

bool sendSetSystemPingmuXuanzhuanWithParamaters(const QString &rotationCode)
{
    return sendIfBuilt(SettingsCommands::rotation(rotationCode));
}

bool sendSetSystemColorWithParamaters(const QMap<QString, QString> &parameters, QString *misfit)
{
    return sendIfBuilt(SettingsCommands::color(parameters, misfit));
}

void RestartDeviceOrder()
{
    send(SettingsCommands::restart());
}

void reviseDeviceTime()
{
    DeviceClock &clock = AppContext::current()->shared<DeviceClock>();
    send(SettingsCommands::deviceTime(clock.msSinceEpoch(), clock.zoneId()));
}

// --- Inserted text, clock, animation -------------------------------------

void sendWordsinitializeInfo()
{
    send(OverlayCommands::spotWordsQuery(phoneIpHex()));
}

bool sendSetSpotWordsWithParameters(const QMap<QString, QString> &parameters, QString *misfit)
{
    return sendIfBuilt(OverlayCommands::spotWords(parameters, misfit));
}

void sendClockinitializeInfo()
{
    send(OverlayCommands::clockQuery(phoneIpHex()));
}

bool sendSetClockOrderWithParameters(const QMap<QString, QString> &parameters, QString *misfit)
{
    return sendIfBuilt(OverlayCommands::clock(parameters, misfit));
}

void sendAnimationOrderWithOrderString(const QString &orderString)
{
    sendIfBuilt(OverlayCommands::animationOrder(orderString));
}

// --- Play windows --------------------------------------------------------

void sendAddNewWindow()
{
    send(WindowCommands::addWindow());
}

void sendCloseNewWindowWithChooseWindow(const QVariantList &chooseWindow)
{
    send(WindowCommands::closeWindows(chooseWindow));
}

void getWindowinitializeInfoWithWindowID(const QString &windowId)
{
    send(WindowCommands::windowInfoQuery(windowId, phoneIpHex()));
}

void sendSetWindowStringWithParameters(const QVariantMap &parameters)
{
    sendIfBuilt(WindowCommands::setWindow(parameters));
}

// --- Play list and play control ------------------------------------------

void getPlayControlListInfoWithWindowID(const QString &windowId)
{
    send(PlayListCommands::playListQuery(windowId, phoneIpHex()));
}

void getVedioSiglePlayWithVedioIndexHex(const QString &indexHex, const QString &windowId)
{
    send(PlayListCommands::playSingle(indexHex, windowId));
}

void sendFielsToListWithVedioIndexHex(const QString &indexHex, const QString &state, const QString &windowId)
{
    send(PlayListCommands::checkEntry(indexHex, state, windowId));
}

void sendPlayWithWindowID(const QString &windowId, const QString &orderId)
{
    send(PlayListCommands::playControl(windowId, orderId));
}

void sendChangePlayModelWithWindowID(const QString &windowId, const QString &modeId)
{
    send(PlayListCommands::playMode(windowId, modeId));
}

void addPlayFiletoPlayListWithChooseListArray(const QVariantList &chooseList, const QString &windowId)
{
    send(PlayListCommands::appendFiles(chooseList, windowId));
}

void getDeviceFilesInfo()
{
    send(PlayListCommands::deviceFilesQuery(phoneIpHex()));
}

std::optional<QMap<QString, QString>> getPlayControlIndexInfoWithModelNotice(const QString &replyHex)
{
    const auto state = PlayListCommands::readPlayState(replyHex);
    if (!state)
        return std::nullopt;
    // The server the play state was recorded for must be the one selected;
    // without a session there is none.
    AppContext *ctx = AppContext::current();
    if (!ctx || ctx->preferences().string(QStringLiteral("CurrentIP"))
                    != CommonManager::sharedManager().currentSelectDev.deviceIp)
        return QMap<QString, QString>{};
    return state;
}

// --- Timed play ----------------------------------------------------------

void getTimePlayListInitializeInfoWithWindowID(const QString &windowId)
{
    send(TimedPlayCommands::schemesQuery(windowId, phoneIpHex()));
}

void getTimePlayDetailInfoWithWindowID(const QString &windowId, const QString &projectId)
{
    send(TimedPlayCommands::schemeFilesQuery(windowId, projectId, phoneIpHex()));
}

QString deleteSelectedPlayProjectWithProjectCount(qint64 count, const QString &windowId)
{
    return TimedPlayCommands::deleteSchemes(count, windowId).frame;
}

void addPlayFiletoTimePlayListWithChooseListArray(const QVariantList &chooseList)
{
    send(TimedPlayCommands::schemeFiles(chooseList));
}

void sendTimePlayParam(const QString &frameHex)
{
    send(Request{&Catalogue::kTimePlayParameters, frameHex});
}

// --- File transfer -------------------------------------------------------

void sendFilesInfo(qint64 contentLength, const QString &filesType, const QString &filesName,
                   const QString &windowID)
{
    const auto request = TransferCommands::filesInfo(contentLength, filesType, filesName, windowID);
    if (request)
        SendSocket::shareMananger().sendString(request->frame, SendSocket::kFilesInfoTag);
}

void sendFilesInfo(const QByteArray &filesData, const QString &filesType, const QString &filesName,
                   const QString &windowID)
{
    sendFilesInfo(qint64(filesData.size()), filesType, filesName, windowID);
}

void addTovedioListWithDataSource(const QVariantList &dataSource, const QString &windowID)
{
    sendIfBuilt(TransferCommands::addToPlayList(dataSource, windowID));
}

void toShowImageWithDataSource(const QVariantList &dataSource, const QString &windowID)
{
    sendIfBuilt(TransferCommands::showImage(dataSource, windowID));
}

void backToCloseSendFilesWithDataSource(const QVariantMap &entry)
{
    SendSocket::shareMananger().disconnectTosocket();
    sendIfBuilt(TransferCommands::closeSendFiles(entry));
}

// --- Login ---------------------------------------------------------------

std::optional<QString> loginFrameWithHexString(const QString &hexString, const QString &userNameString)
{
    const std::optional<QString> key = LoginCommands::userIdKey(hexString);
    const qint64 userId = key ? AppContext::current()->preferences().integer(*key) : 0;
    const auto request = LoginCommands::login(hexString, userNameString, userId, phoneIpHex());
    if (!request)
        return std::nullopt;
    return request->frame;
}

void sendXintiaoOrderWithHexString(const QString &hexString, const QString &userNameString, const QString &host)
{
    Q_UNUSED(host)
    if (const auto frame = loginFrameWithHexString(hexString, userNameString))
        send(Request{&Catalogue::kLogin, *frame});
}

} // namespace QVmethodLib
