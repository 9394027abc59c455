#include "screens/discovery/scandeviceviewcontroller.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "net/qvmethodlib.h"
#include "net/replyrouter.h"
#include "net/udpsocketcontroller.h"
#include "protocol/catalogue.h"
#include "protocol/hexcodec.h"
#include "protocol/logincommands.h"
#include "screens/discovery/homeviewcontroller.h"
#include "screens/settings/phoneaddressviewcontroller.h"
#include "screens/shell/screenopener.h"
#include "screens/shell/slidezoommenucontroller.h"
#include "screens/shell/systemviewcontroller.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>
#include <QSysInfo>

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
    // Servers answer to the client's own address, so it can be set before
    // any server is known.
    configureBarbuttonItemStyle(0, QString(), [this] { openPhoneAddress(); });
    retranslate();
    m_angle = 0;
    m_progress = 0;
    m_dataSource.clear();
    m_rowOfUserId.clear();
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
    m_message = Message::Waiting;
    writeMessage();

    // The list is rebuilt from the announcements that arrive from now on.
    FMManager &db = context().shared<FMManager>();
    db.DeleteUserInfo();
    db.DeviceNormalInfo();
    m_dataSource.clear();
    m_rowOfUserId.clear();
    m_seenGeneration = db.userInfoGeneration();
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
    m_scanButtonTitle = scanButtonText();
    if (scanning) {
        m_angle = 0;
        m_progress = 0;
        Q_EMIT angleChanged();
        Q_EMIT progressChanged();
        m_timer = context().scheduler().every(kTickMs, this, [this]() { translationImageView(); });
    }
    Q_EMIT scanStateChanged();
}

QString ScanDeviceViewController::scanButtonText() const
{
    return m_scanning ? QCoreApplication::translate("ScanDeviceViewController", "停止扫描")
                      : QCoreApplication::translate("ScanDeviceViewController", "扫描服务端设备");
}

void ScanDeviceViewController::retranslate()
{
    setTitle(QCoreApplication::translate("ScanDeviceViewController", "QEVLUX客户端"));
    setRightBarButtonTitle(QCoreApplication::translate("ScanDeviceViewController", "本机地址"));
    m_scanButtonTitle = scanButtonText();
    Q_EMIT scanStateChanged();
    writeMessage();
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

void ScanDeviceViewController::openPhoneAddress()
{
    // A scan running under the page would open the server list over it.
    if (m_scanning)
        setScanning(false);
    ScreenOpener::push(navigationController(), &ScreenOpener::make<PhoneAddressViewController>);
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
    FMManager &db = context().shared<FMManager>();
    m_seenGeneration = db.userInfoGeneration();
    m_dataSource = db.selectAllUserInfoDatas();
    m_rowOfUserId.clear();
    for (qsizetype i = 0; i < m_dataSource.size(); ++i)
        m_rowOfUserId.insert(m_dataSource.at(i).userId, i);
    Q_EMIT dataSourceChanged();
    writeCountLine();
}

void ScanDeviceViewController::writeCountLine()
{
    m_message = Message::Count;
    writeMessage();
}

void ScanDeviceViewController::writeMessage()
{
    switch (m_message) {
    case Message::None:
        break;
    case Message::Waiting:
        setMessageText(QCoreApplication::translate("ScanDeviceViewController", "正在扫描设备请稍后..."));
        break;
    case Message::Count:
        setMessageText(QCoreApplication::translate("ScanDeviceViewController", "已扫描到%n台设备，正在继续扫描，请稍候...",
                                                   nullptr, int(m_dataSource.size())));
        break;
    }
}

void ScanDeviceViewController::getInitShebeiInfoWitShebeiHexString(const QString &hexString, const QString &deviceIp)
{
    const auto info = ShebeiInfoReply::read(hexString);
    if (!info)
        return;
    // Stored records must hold what they say: the window screens read one
    // record per announced window.
    if (!info->hasAllWindows()) {
        qevaDebug(lcScreens, QStringLiteral("malformed server information from %1 ignored").arg(deviceIp));
        return;
    }
    DeviceInfo d;
    d.userName = QStringLiteral("Default");
    d.deviceName = info->displayName();
    d.devicePassword = info->passwordText();
    d.deviceWindowHex = info->windowHex;
    d.deviceWindowNum = QString::number(info->windowCount);
    d.deviceIp = deviceIp;
    d.userId = info->userId;
    d.deviceInfo1 = QStringLiteral("0");
    d.deviceInfo2 = info->rest;
    d.deviceInfo3 = QStringLiteral("0");

    // A new server gets the user id the phone presents to it, before it is
    // stored (and also when storing fails: the login needs it all the same).
    bool userIdChosen = false;
    const auto newServer = [this, &d, &userIdChosen] {
        userIdChosen = true;
        Preferences &prefs = context().preferences();
        const QString key = userIdKey(d.deviceName, d.deviceIp);
        qint64 userId = prefs.integer(key);
        if (userId == 0)
            userId = HexCodec::getRandomNumber(100000, 999999);
        prefs.setString(key, QString::number(userId));
    };

    // The list follows the table in place: a steady stream of announcements
    // must not cost a reload of the whole table each. It is read again only
    // when the table changed otherwise (a login, another client).
    FMManager &db = context().shared<FMManager>();
    CommonManager &session = CommonManager::sharedManager();
    const FMManager::Recorded recorded = db.recordUserInfo(d, newServer);
    const bool inStep = db.userInfoGeneration() == m_seenGeneration;
    const auto row = m_rowOfUserId.constFind(d.userId);
    switch (recorded) {
    case FMManager::Recorded::Unchanged:
        if (!inStep || row == m_rowOfUserId.constEnd())
            didScanDeviceInfo();
        else
            writeCountLine();
        return;
    case FMManager::Recorded::Updated:
        session.isUpdateWindow = true;
        if (!inStep || row == m_rowOfUserId.constEnd()) {
            didScanDeviceInfo();
        } else {
            // As the UPDATE statement does: the address stays the stored one.
            DeviceInfo &stored = m_dataSource[row.value()];
            stored.userName = d.userName;
            stored.devicePassword = d.devicePassword;
            stored.deviceWindowHex = d.deviceWindowHex;
            stored.deviceWindowNum = d.deviceWindowNum;
            stored.deviceName = d.deviceName;
            stored.deviceInfo1 = d.deviceInfo1;
            stored.deviceInfo2 = d.deviceInfo2;
            Q_EMIT dataSourceChanged();
            writeCountLine();
        }
        context().notices().post(QLatin1String(Catalogue::kShebeiInfoNotice), hexString);
        return;
    case FMManager::Recorded::Inserted:
        session.isUpdateWindow = true;
        if (!inStep) {
            didScanDeviceInfo();
            return;
        }
        // The row reads back with every field but deviceInfo3 (not read back).
        d.deviceInfo3 = QString();
        m_rowOfUserId.insert(d.userId, m_dataSource.size());
        m_dataSource.append(d);
        Q_EMIT dataSourceChanged();
        writeCountLine();
        return;
    case FMManager::Recorded::Failed:
        if (!userIdChosen)
            newServer();
        return; // the list stays as it is
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
    context().shared<FMManager>().recordDeviceNormalInfo(windowId, deviceIp, QString::number(playIndex));
}
