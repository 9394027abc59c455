#include "screens/discovery/scandeviceviewcontroller.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "net/udpsocketcontroller.h"
#include "protocol/catalogue.h"
#include "protocol/commonclass.h"
#include "protocol/logincommands.h"
#include "protocol/replyrouter.h"
#include "screens/discovery/homeviewcontroller.h"
#include "screens/shell/slidezoommenucontroller.h"
#include "screens/shell/systemviewcontroller.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/popupcenter.h"
#include "ui/screenregistry.h"

#include <QCoreApplication>
#include <QSysInfo>

QEVA_REGISTER_SCREEN(ScanDeviceViewController)

namespace {
constexpr double kAngleStep = 0.15707963267948966; // pi / 20
constexpr double kAngleLimit = 6.2857;
constexpr double kProgressStep = 0.008;
constexpr qsizetype kMinPlayStateChars = 18;

QString userIdKey(const QString &name, const QString &address)
{
    return QStringLiteral("kUserConnectedID_%1_%2").arg(name, address);
}
}

ScanDeviceViewController::ScanDeviceViewController()
{
    // The login frame carries this name; the phone's own name says to the
    // server who is connected, as a phone's device name would.
    m_userName = QSysInfo::machineHostName();
    if (m_userName.isEmpty())
        m_userName = QStringLiteral("QEVA");
}

ScanDeviceViewController::~ScanDeviceViewController()
{
    if (m_timer)
        context().scheduler().cancel(m_timer);
}

void ScanDeviceViewController::setUserName(const QString &name)
{
    if (m_userName == name)
        return;
    m_userName = name;
    Q_EMIT userNameChanged();
}

void ScanDeviceViewController::viewDidLoad()
{
    setTitle(QCoreApplication::translate("ScanDeviceViewController", "QEVLUX客户端"));
    m_scanButtonTitle = QCoreApplication::translate("ScanDeviceViewController", "扫描服务端设备");
    m_angle = 0;
    m_progress = 0;
    m_dataSource.clear();
    Q_EMIT scanStateChanged();

    NoticeCenter &notices = context().notices();
    notices.subscribe(this, QLatin1String(Catalogue::kIpChangedNotice), [this](const QVariant &) { returnToThisScreen(); });
    notices.subscribe(this, QLatin1String(Catalogue::kChangeDelegateNotice),
                      [this](const QVariant &) { becomeServerDelegate(); });

    ReplyRouter &router = context().shared<ReplyRouter>();
    router.setServerInfoHandler(this, [this](const QString &hex, const QString &host) {
        popups().dismissProgress();
        getInitShebeiInfoWitShebeiHexString(hex, host);
        QVmethodLib::sendXintiaoOrderWithHexString(hex, m_userName, host);
    });
    router.setConnectionEndHandler(this, [this](const QString &, const QString &) { connectionEnded(); });
    router.setPlayStateHandler(this, [this](const QString &hex, const QString &host) {
        getInitDeviceNormalINfoWitShebeiHexString(hex, host);
    });
}

void ScanDeviceViewController::viewWillAppear()
{
    becomeServerDelegate();
    // A scan left running under a covering screen ends here with the button.
    setScanning(false);
    setNavigationBarHidden(false);
    setMessageText(QCoreApplication::translate("ScanDeviceViewController", "正在扫描设备请稍后..."));

    // The list is rebuilt from the announcements that arrive from now on.
    FMManager &db = context().shared<FMManager>();
    db.DeleteUserInfo();
    db.DeviceNormalInfo();
    m_dataSource.clear();
    Q_EMIT dataSourceChanged();
}

void ScanDeviceViewController::becomeServerDelegate()
{
    AppContext *ctx = &context();
    context().shared<UdpSocketController>().changeServerDelegate(
        this, [ctx](const QByteArray &data, const QString &host, quint16) {
            ctx->shared<ReplyRouter>().route(data, host);
        });
}

void ScanDeviceViewController::setScanning(bool scanning)
{
    if (m_timer) {
        context().scheduler().cancel(m_timer);
        m_timer = 0;
    }
    m_scanning = scanning;
    m_scanAnimationVisible = scanning;
    m_scanButtonTitle = scanning ? QCoreApplication::translate("ScanDeviceViewController", "停止扫描")
                                 : QCoreApplication::translate("ScanDeviceViewController", "扫描服务端设备");
    if (scanning) {
        m_angle = 0;
        m_progress = 0;
        Q_EMIT angleChanged();
        Q_EMIT progressChanged();
        m_timer = context().scheduler().every(kTickMs, this, [this]() { translationImageView(); });
    }
    Q_EMIT scanStateChanged();
}

void ScanDeviceViewController::setMessageText(const QString &text)
{
    if (m_messageText == text)
        return;
    m_messageText = text;
    Q_EMIT messageTextChanged();
}

void ScanDeviceViewController::scanButtonAction()
{
    setScanning(!m_scanning);
}

void ScanDeviceViewController::translationImageView()
{
    // 32-bit floats, stepped in double as the screen always did: the angle
    // wraps on the 41st tick and the progress reaches 1.0 on the 125th.
    m_angle = float(m_angle + kAngleStep);
    if (m_angle > kAngleLimit)
        m_angle = 0;
    Q_EMIT angleChanged();
    m_progress = float(m_progress + kProgressStep);
    Q_EMIT progressChanged();
    if (m_progress >= 1.0)
        finishScan();
}

void ScanDeviceViewController::finishScan()
{
    setScanning(false);
    if (m_dataSource.isEmpty())
        return; // stays on this screen, no message
    openMainScreens();
}

void ScanDeviceViewController::openMainScreens()
{
    KTBaseNavigationController *nav = navigationController();
    if (!nav) {
        qevaLog(lcScreens, QStringLiteral("scan finished outside a navigation stack; nothing to open"));
        return;
    }
    auto *home = new HomeViewController(m_dataSource);
    auto *menu = new SystemViewController;
    menu->setViewController(this);
    auto *slider = new SLideZoomMenuController(new KTBaseNavigationController(home));
    slider->setLeftViewController(menu);
    m_slider = slider;
    nav->setNavigationBarHidden(true);
    if (!nav->push(slider))
        delete slider;
}

void ScanDeviceViewController::returnToThisScreen()
{
    if (KTBaseNavigationController *nav = navigationController())
        nav->popTo(this);
}

void ScanDeviceViewController::connectionEnded()
{
    returnToThisScreen();
    popups().showError(QCoreApplication::translate("ScanDeviceViewController", "设备退出连接"));
}

void ScanDeviceViewController::didScanDeviceInfo()
{
    m_dataSource = context().shared<FMManager>().selectAllUserInfoDatas();
    Q_EMIT dataSourceChanged();
    setMessageText(QCoreApplication::translate("ScanDeviceViewController", "已扫描到")
                   + QString::number(m_dataSource.size())
                   + QCoreApplication::translate("ScanDeviceViewController", "台设备，正在继续扫描，请稍候..."));
}

void ScanDeviceViewController::getInitShebeiInfoWitShebeiHexString(const QString &hexString, const QString &deviceIp)
{
    const auto info = ShebeiInfoReply::read(hexString);
    if (!info)
        return;
    // Stored records must hold what they say: the list and window screens
    // read the name, the password and one record per announced window.
    if (!info->name || !info->password || !info->hasAllWindows()) {
        qevaLog(lcScreens, QStringLiteral("malformed server information from %1 ignored").arg(deviceIp));
        return;
    }
    const QString windowNum = QString::number(info->windowCount);
    FMManager &db = context().shared<FMManager>();
    CommonManager &session = CommonManager::sharedManager();

    if (db.selectDeviceInfoWith(info->userId)) {
        if (db.selectDeviceInfoWith(info->userId, info->windowHex)) {
            didScanDeviceInfo();
            return;
        }
        if (db.updateUserInfoByUserName(QStringLiteral("Default"), *info->password, info->windowHex, windowNum,
                                        info->userId, *info->name, info->rest, QStringLiteral("0"))) {
            session.isUpdateWindow = true;
            didScanDeviceInfo();
            context().notices().post(QLatin1String(Catalogue::kShebeiInfoNotice), hexString);
        }
        return;
    }

    Preferences &prefs = context().preferences();
    const QString key = userIdKey(*info->name, deviceIp);
    qint64 userId = prefs.integer(key);
    if (userId == 0)
        userId = CommonClass::getRandomNumber(100000, 999999);
    prefs.setString(key, QString::number(userId));

    if (db.insertObjectByUserName(QStringLiteral("Default"), *info->name, *info->password, info->windowHex, windowNum,
                                  deviceIp, info->userId, QStringLiteral("0"), info->rest, QStringLiteral("0"))) {
        session.isUpdateWindow = true;
        didScanDeviceInfo();
    }
}

void ScanDeviceViewController::getInitDeviceNormalINfoWitShebeiHexString(const QString &hexString,
                                                                         const QString &deviceIp)
{
    if (hexString.size() < kMinPlayStateChars)
        return;
    const QString windowId = hexString.mid(12, 2);
    bool ok = false;
    const int playIndex = hexString.mid(14, 4).toInt(&ok, 16);
    if (!ok)
        return;
    context().preferences().setString(QStringLiteral("CurrentIP"), deviceIp);

    FMManager &db = context().shared<FMManager>();
    const QString index = QString::number(playIndex);
    if (db.selectDeviceNormalInfoisExistWithDeviceIp(deviceIp)
        && db.selectDeviceNormalInfoisExistWithDeviceIp(deviceIp, windowId)) {
        db.updateDeviceNormalInfoByDeviceWindowIDHex(windowId, deviceIp, QStringLiteral("0"), index, QStringLiteral(""));
    } else {
        db.insertObjectByDeviceWindowIDHex(windowId, deviceIp, QStringLiteral("0"), index, QStringLiteral("0"),
                                           QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"));
    }
}
