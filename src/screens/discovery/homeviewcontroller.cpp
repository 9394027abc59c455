#include "screens/discovery/homeviewcontroller.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "screens/shell/functionviewcontroller.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>
#include <QVariantMap>

namespace {
const QString kLastPasswordKey = QStringLiteral("ThelastPswwaord");
}

HomeViewController::HomeViewController(const QList<DeviceInfo> &devices)
    : m_devices(devices)
    , m_sectionModel(new RowListModel({QStringLiteral("key"), QStringLiteral("section"), QStringLiteral("row"),
                                       QStringLiteral("text"), QStringLiteral("open"), QStringLiteral("loggedIn")},
                                      QStringLiteral("key"), this))
{
    connect(this, &KTBaseTableViewController::dataSourceChanged, m_sectionModel, [this] {
        QVariantList rows;
        for (const QVariant &v : dataSource()) {
            const QVariantMap section = v.toMap();
            const QString s = section.value(QStringLiteral("section")).toString();
            QVariantMap row{{QStringLiteral("key"), s},
                            {QStringLiteral("section"), section.value(QStringLiteral("section"))},
                            {QStringLiteral("row"), -1},
                            {QStringLiteral("text"), section.value(QStringLiteral("deviceName"))},
                            {QStringLiteral("open"), section.value(QStringLiteral("open"))},
                            {QStringLiteral("loggedIn"), section.value(QStringLiteral("loggedIn"))}};
            rows << row;
            const QStringList windows = section.value(QStringLiteral("rows")).toStringList();
            for (int r = 0; r < windows.size(); ++r) {
                row[QStringLiteral("key")] = s + QLatin1Char('/') + QString::number(r);
                row[QStringLiteral("row")] = r;
                row[QStringLiteral("text")] = windows.at(r);
                rows << row;
            }
        }
        m_sectionModel->setRows(rows);
    });
    retranslate();
}

void HomeViewController::retranslate()
{
    setTitle(QCoreApplication::translate("HomeViewController", "QEVLUX客户端"));
    rebuildRows(); // the window rows are named
}

QString HomeViewController::messageText() const
{
    return QCoreApplication::translate("HomeViewController", "已扫描出如下设备,请点击登陆");
}

QString HomeViewController::passwordPromptTitle()
{
    return QCoreApplication::translate("HomeViewController", "密码验证");
}

QString HomeViewController::showPasswordText()
{
    return QCoreApplication::translate("HomeViewController", "显示密码");
}

QString HomeViewController::confirmText()
{
    return QCoreApplication::translate("HomeViewController", "确定");
}

void HomeViewController::setPasswordText(const QString &text)
{
    if (m_passwordText == text)
        return;
    m_passwordText = text;
    Q_EMIT passwordTextChanged();
}

void HomeViewController::viewWillAppear()
{
    rebuildRows();
    CommonManager &session = CommonManager::sharedManager();
    if (session.isUpdateWindow) {
        session.isUpdateWindow = false;
        reloadDevices();
        rebuildRows();
    }
    if (!m_devices.isEmpty())
        session.currentSelectDev = m_devices.first();
}

void HomeViewController::reloadDevices()
{
    m_devices = context().shared<FMManager>().selectAllUserInfoDatas();
}

void HomeViewController::rebuildRows()
{
    QVariantList sections;
    for (int s = 0; s < m_devices.size(); ++s) {
        const DeviceInfo &device = m_devices.at(s);
        const bool open = m_treeOpenArray.contains(QString::number(s));
        QStringList rows;
        if (open) {
            for (const QString &id : device.windowIds())
                rows << QCoreApplication::translate("HomeViewController", "视频窗口_") + id;
        }
        sections.append(QVariantMap{
            {QStringLiteral("section"), s},
            {QStringLiteral("deviceName"), device.deviceName},
            {QStringLiteral("deviceIp"), device.deviceIp},
            {QStringLiteral("loggedIn"), device.deviceInfo1.toInt() != 0},
            {QStringLiteral("open"), open},
            {QStringLiteral("rows"), rows},
        });
    }
    setDataSource(sections);
    reloadData();
}

void HomeViewController::toggleSection(int section)
{
    m_treeOpenString = QString::number(section);
    if (m_treeOpenArray.contains(m_treeOpenString))
        m_treeOpenArray.removeAll(m_treeOpenString);
    else
        m_treeOpenArray.append(m_treeOpenString);
    rebuildRows();
}

void HomeViewController::tapAction(int section)
{
    if (section < 0 || section >= m_devices.size())
        return;
    const DeviceInfo &device = m_devices.at(section);
    m_selectedIndexSection = section;
    m_playDeviceName = device.deviceName;
    if (device.deviceInfo1.toInt() != 0) {
        toggleSection(section);
        return;
    }
    secretEntryAlertWithSecrityPassword();
    m_selectedPassword = device.devicePassword;
}

void HomeViewController::secretEntryAlertWithSecrityPassword()
{
    QString last = context().preferences().string(kLastPasswordKey);
    if (last.isEmpty())
        last = QStringLiteral("468");
    setPasswordText(last);
    didSelectedCheckBox(false);
    if (!m_passwordPromptVisible) {
        m_passwordPromptVisible = true;
        Q_EMIT passwordPromptChanged();
    }
}

void HomeViewController::didSelectedCheckBox(bool checked)
{
    if (m_showPassword == checked)
        return;
    m_showPassword = checked;
    Q_EMIT showPasswordChanged();
}

void HomeViewController::passwordCheck()
{
    if (!m_passwordPromptVisible)
        return; // nothing was asked: no section to unlock
    m_passwordPromptVisible = false;
    Q_EMIT passwordPromptChanged();

    FMManager &db = context().shared<FMManager>();
    if (m_passwordText == m_selectedPassword) {
        db.updateDeviceIsLoginByDeviceName(m_playDeviceName, QStringLiteral("1"));
        reloadDevices();
        toggleSection(m_selectedIndexSection);
        context().preferences().setString(kLastPasswordKey, m_passwordText);
    } else {
        db.updateDeviceIsLoginByDeviceName(m_playDeviceName, QStringLiteral("0"));
        popups().showError(QCoreApplication::translate("HomeViewController", "密码不正确"));
    }
}

void HomeViewController::cancelPasswordPrompt()
{
    if (!m_passwordPromptVisible)
        return;
    m_passwordPromptVisible = false;
    Q_EMIT passwordPromptChanged();
}

void HomeViewController::didSelectRowAtIndexPath(int section, int row)
{
    if (section < 0 || section >= m_devices.size() || !m_treeOpenArray.contains(QString::number(section)))
        return;
    const DeviceInfo &device = m_devices.at(section);
    const QStringList ids = device.windowIds();
    if (row < 0 || row >= ids.size())
        return;
    CommonManager &session = CommonManager::sharedManager();
    session.currentSelectDev = device;
    session.currentWindowID = ids.at(row);
    pushNewViewController(new FunctionViewController);
}
