#include "screens/settings/phoneaddressviewcontroller.h"

#include "app/appdelegate.h"
#include "core/appcontext.h"
#include "session/commonmanager.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>
#include <QPointer>

PhoneAddressViewController::PhoneAddressViewController() = default;

void PhoneAddressViewController::viewDidLoad()
{
    configureBarbuttonItemStyle(0, QString(), [this] { doneAction(); });
    retranslate();
    refresh();
    setAddressText(AppDelegate::shareAppDelegate().userAddress());
}

void PhoneAddressViewController::retranslate()
{
    setTitle(QCoreApplication::translate("PhoneAddressViewController", "本机地址"));
    setRightBarButtonTitle(QCoreApplication::translate("PhoneAddressViewController", "完成"));
}

void PhoneAddressViewController::viewWillAppear()
{
    setNavigationBarHidden(false);
    refresh();
}

void PhoneAddressViewController::setAddressText(const QString &text)
{
    if (m_addressText == text)
        return;
    m_addressText = text;
    Q_EMIT addressTextChanged();
}

void PhoneAddressViewController::refresh()
{
    AppDelegate &app = AppDelegate::shareAppDelegate();
    CommonManager &session = CommonManager::sharedManager();
    m_currentAddress = session.currentPhoneIp();
    m_automaticAddress = app.automaticAddress(session.currentSelectDev.deviceIp);
    m_automatic = app.userAddress().isEmpty();
    m_configured = app.isAddressConfigured();
    m_interfaceAddresses.clear();
    for (const InterfaceAddress &i : AppDelegate::systemInterfaces())
        if (i.up && !i.loopback && !i.ipv6 && !i.address.isEmpty())
            m_interfaceAddresses << i.name + QLatin1Char(' ') + i.address;
    Q_EMIT addressesChanged();
}

bool PhoneAddressViewController::save(const QString &text)
{
    // Saving may send the user back to the discovery screen, which pops
    // this one: what follows must not need it.
    QPointer<PhoneAddressViewController> self(this);
    PopupCenter &popups = this->popups();
    if (!AppDelegate::shareAppDelegate().setUserAddress(text)) {
        popups.showError(QCoreApplication::translate("PhoneAddressViewController", "请输入正确的IP地址"));
        return false;
    }
    if (self) {
        setAddressText(AppDelegate::shareAppDelegate().userAddress());
        refresh();
    }
    popups.showSuccess(QCoreApplication::translate("PhoneAddressViewController", "设置成功"));
    return true;
}

bool PhoneAddressViewController::doneAction()
{
    return save(m_addressText);
}

bool PhoneAddressViewController::useAutomaticAction()
{
    return save(QString());
}
