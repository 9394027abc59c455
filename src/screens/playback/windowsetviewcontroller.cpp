#include "screens/playback/windowsetviewcontroller.h"

#include "core/appcontext.h"
#include "net/qvmethodlib.h"
#include "protocol/catalogue.h"
#include "protocol/hexcodec.h"
#include "protocol/hexreader.h"
#include "protocol/windowcommands.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "ui/pickerfield.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>

namespace {
const QString kWinID = QStringLiteral("WinID");
const QString kChecked = QStringLiteral("checked");
const QString kYes = QStringLiteral("YES");
const QString kNo = QStringLiteral("NO");

bool sameServer(const DeviceInfo &a, const DeviceInfo &b)
{
    return !a.deviceIp.isEmpty() && a.deviceIp == b.deviceIp && a.userId == b.userId;
}

// Name and window count of a server-information reply; nothing when the
// reply ends before the count.
struct ShebeiInfo
{
    QString name;
    int windowCount = 0;
};
std::optional<ShebeiInfo> readShebeiInfo(const QString &hex)
{
    HexReader r(hex, 20);
    const std::optional<qint64> nameLength = r.takeNumber(2);
    if (!nameLength)
        return std::nullopt;
    const std::optional<QString> nameHex = r.take(*nameLength);
    if (!nameHex)
        return std::nullopt;
    const std::optional<qint64> passwordLength = r.takeNumber(2);
    if (!passwordLength || !r.skip(*passwordLength))
        return std::nullopt;
    const std::optional<qint64> count = r.takeNumber(1);
    if (!count)
        return std::nullopt;
    return ShebeiInfo{HexCodec::stringFromHexString(*nameHex).value_or(QString()), int(*count)};
}
}

WindowSetViewController::WindowSetViewController(QObject *parent)
    : KTBaseTableViewController(parent)
    , m_shebeiField(new PickerField(0, this))
    , m_rowModel(new RowListModel({QStringLiteral("id"), QStringLiteral("name"), kChecked}, QStringLiteral("id"), this))
{
    connect(this, &KTBaseTableViewController::dataSourceChanged, m_rowModel, [this] { m_rowModel->setRows(rows()); });
    connect(m_shebeiField, &PickerField::rowSelected, this,
            [this](int row) { m_shebeiField->setText(m_shebeiField->items().value(row)); });
    connect(m_shebeiField, &PickerField::applied, this, &WindowSetViewController::serverChosen);
}

QString WindowSetViewController::windowDisplayName(const QString &windowId)
{
    return QCoreApplication::translate("WindowSetViewController", "视频窗口_") + windowId;
}

QStringList WindowSetViewController::windowIds(const DeviceInfo &device, int count)
{
    QStringList ids;
    for (int r = 0; r < count && (r + 1) * 8 <= device.deviceInfo2.size(); ++r)
        ids << device.deviceInfo2.mid(r * 8, 2);
    return ids;
}

QVariantList WindowSetViewController::rows() const
{
    QVariantList out;
    for (const QVariant &v : dataSource()) {
        const QVariantMap entry = v.toMap();
        out << QVariantMap{{QStringLiteral("id"), entry.value(kWinID)},
                           {QStringLiteral("name"), windowDisplayName(entry.value(kWinID).toString())},
                           {kChecked, entry.value(kChecked).toString() == kYes}};
    }
    return out;
}

void WindowSetViewController::retranslate()
{
    setTitle(QCoreApplication::translate("WindowSetViewController", "窗口设置"));
    m_rowModel->setRows(rows()); // the windows are named
}

void WindowSetViewController::viewDidLoad()
{
    retranslate();
    m_isUpdateWindow = false;

    m_shebeiArray = context().shared<FMManager>().selectAllUserInfoDatas();
    QStringList names;
    for (const DeviceInfo &d : std::as_const(m_shebeiArray))
        names << d.deviceName;
    m_shebeiField->setItems(names);
    if (!m_shebeiArray.isEmpty()) {
        // The list shows the server that add and close go to: the selected
        // one when it is known, else the first, which then becomes selected.
        CommonManager &cm = CommonManager::sharedManager();
        int row = 0;
        for (int i = 0; i < m_shebeiArray.size(); ++i) {
            if (sameServer(m_shebeiArray.at(i), cm.currentSelectDev)) {
                row = i;
                break;
            }
        }
        m_shebeiField->selectRow(row);
        const DeviceInfo &device = m_shebeiArray.at(row);
        if (!sameServer(device, cm.currentSelectDev))
            cm.currentSelectDev = device;
        showServer(device, device.deviceWindowNum.toInt());
    }

    context().notices().subscribe(this, QLatin1String(Catalogue::kShebeiInfoNotice),
                                  [this](const QVariant &object) { didReceiveShebeiInfoNotice(object.toString()); });
}

void WindowSetViewController::viewWillAppear()
{
    setNavigationBarHidden(false);
}

void WindowSetViewController::showServer(const DeviceInfo &device, int windowCount)
{
    m_shebeiField->setText(device.deviceName);
    setAddWindowEnabled(windowCount < kMaxWindows);
    QVariantList entries;
    for (const QString &id : windowIds(device, windowCount))
        entries << QVariantMap{{kWinID, id}, {kChecked, kNo}};
    m_choosePlayArray.clear();
    Q_EMIT selectionChanged();
    setDataSource(entries);
}

void WindowSetViewController::setAddWindowEnabled(bool enabled)
{
    if (m_addWindowEnabled == enabled)
        return;
    m_addWindowEnabled = enabled;
    Q_EMIT addWindowEnabledChanged();
}

void WindowSetViewController::serverChosen(int row)
{
    if (row < 0 || row >= m_shebeiArray.size())
        return;
    const DeviceInfo &chosen = m_shebeiArray.at(row);
    // By name for its latest record; two servers may share a name, so the
    // row's own address decides which one is meant.
    const std::optional<DeviceInfo> stored =
        context().shared<FMManager>().selectUserInfoWithDeviceName(chosen.deviceName);
    const DeviceInfo device = stored && stored->deviceIp == chosen.deviceIp ? *stored : chosen;
    CommonManager::sharedManager().currentSelectDev = device;
    // The list follows the server: closing goes to it, so it must show its windows.
    showServer(device, device.deviceWindowNum.toInt());
}

void WindowSetViewController::didSelectRow(int row)
{
    QVariantList entries = dataSource();
    if (row < 0 || row >= entries.size())
        return;
    QVariantMap entry = entries.at(row).toMap();
    const bool nowChecked = entry.value(kChecked).toString() != kYes;
    entry.insert(kChecked, nowChecked ? kYes : kNo);
    entries[row] = entry;
    const QString id = entry.value(kWinID).toString();
    if (nowChecked) {
        m_choosePlayArray.append(entry);
    } else {
        for (qsizetype i = 0; i < m_choosePlayArray.size(); ++i) {
            if (m_choosePlayArray.at(i).toMap().value(kWinID).toString() == id) {
                m_choosePlayArray.removeAt(i);
                break;
            }
        }
    }
    setDataSource(entries);
    Q_EMIT selectionChanged();
}

void WindowSetViewController::ButtonActionTouch(int code)
{
    if (code != AddWindowButton) {
        sendCloseNewWindow();
        return;
    }
    if (!m_addWindowEnabled)
        return;
    if (CommonManager::sharedManager().currentSelectDev.deviceIp.isEmpty()) {
        popups().showError(QCoreApplication::translate("WindowSetViewController", "请选择需要设定的设备"));
        return;
    }
    popups().showProgress(QCoreApplication::translate("WindowSetViewController", "新增窗口中..."));
    QVmethodLib::sendAddNewWindow();
    m_isUpdateWindow = true;
}

void WindowSetViewController::sendCloseNewWindow()
{
    if (m_choosePlayArray.isEmpty()) {
        popups().showError(QCoreApplication::translate("WindowSetViewController", "请选择需要关闭的窗口"));
        return;
    }
    popups().showProgress(QCoreApplication::translate("WindowSetViewController", "关闭窗口中..."));
    QVmethodLib::sendCloseNewWindowWithChooseWindow(m_choosePlayArray);
    m_choosePlayArray.clear();
    QVariantList entries = dataSource();
    for (QVariant &v : entries) {
        QVariantMap entry = v.toMap();
        entry.insert(kChecked, kNo);
        v = entry;
    }
    setDataSource(entries);
    Q_EMIT selectionChanged();
    m_isUpdateWindow = true;
}

void WindowSetViewController::didReceiveShebeiInfoNotice(const QString &replyHex)
{
    if (!m_isUpdateWindow)
        return;
    const std::optional<ShebeiInfo> info = readShebeiInfo(replyHex);
    // Another server's change, or a reply cut short, is not the answer
    // awaited; the next one may be.
    if (!info || info->name != m_shebeiField->text())
        return;
    m_isUpdateWindow = false;

    const std::optional<DeviceInfo> stored = context().shared<FMManager>().selectUserInfoWithDeviceName(info->name);
    DeviceInfo device = stored.value_or(DeviceInfo());
    if (device.deviceName.isNull())
        device.deviceName = info->name;
    CommonManager &cm = CommonManager::sharedManager();
    if (sameServer(device, cm.currentSelectDev)) {
        device.currentPlayIndex = cm.currentSelectDev.currentPlayIndex;
        cm.currentSelectDev = device;
    }
    for (DeviceInfo &d : m_shebeiArray)
        if (sameServer(d, device))
            d = device;
    showServer(device, device.deviceName == info->name ? info->windowCount : 0);
    reloadData();
    popups().dismissProgress();
}
