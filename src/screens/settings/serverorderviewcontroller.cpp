#include "screens/settings/serverorderviewcontroller.h"

#include "screens/common/serverchooser.h"
#include "session/commonmanager.h"
#include "ui/pickerfield.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>

ServerOrderViewController::ServerOrderViewController()
    : m_chooser(new ServerChooser(ShebeiTag, this))
{
    InputField *field = m_chooser->field();
    connect(field, &InputField::editingEnded, this, [this, field] { textFieldShouldEndEditing(field); });
}

ServerOrderViewController::~ServerOrderViewController() = default;

PickerField *ServerOrderViewController::shebeiField() const
{
    return m_chooser->field();
}

QList<DeviceInfo> ServerOrderViewController::shebeiArray() const
{
    return m_chooser->shebeiArray();
}

void ServerOrderViewController::viewDidLoad()
{
    configureBarbuttonItemStyle(0, QString(), [this] { doneAction(); });
    retranslate();
    m_chooser->load();
}

void ServerOrderViewController::retranslate()
{
    setTitle(screenTitle());
    setRightBarButtonTitle(QCoreApplication::translate("ServerOrderViewController", "完成"));
}

void ServerOrderViewController::viewWillAppear()
{
    setNavigationBarHidden(false);
}

bool ServerOrderViewController::textFieldShouldEndEditing(InputField *field)
{
    if (field && field->tag() == ShebeiTag)
        m_chooser->choose();
    return true;
}

bool ServerOrderViewController::doneAction()
{
    // Without an address the order would go nowhere; saying so beats a
    // success pop-up for an order that never left.
    if (CommonManager::sharedManager().currentSelectDev.deviceIp.isEmpty()) {
        popups().showError(QCoreApplication::translate("ServerOrderViewController", "请选择需要设定的设备"));
        return false;
    }
    sendOrder();
    popups().showSuccess(QCoreApplication::translate("ServerOrderViewController", "设置成功"));
    return true;
}
