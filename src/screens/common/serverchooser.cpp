#include "screens/common/serverchooser.h"

#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "ui/pickerfield.h"

ServerChooser::ServerChooser(int tag, QObject *parent)
    : QObject(parent)
    , m_field(new PickerField(tag, this))
{
}

void ServerChooser::load()
{
    m_shebeiArray = FMManager::sharedManagerInstance().selectAllUserInfoDatas();
    QStringList names;
    for (const DeviceInfo &d : m_shebeiArray)
        names << d.deviceName;
    m_field->setItems(names);
    if (!m_shebeiArray.isEmpty())
        m_field->setText(m_field->wheelText());
}

bool ServerChooser::choose()
{
    const int row = m_field->currentIndex();
    if (row < 0 || row >= m_shebeiArray.size())
        return false;
    const DeviceInfo &chosen = m_shebeiArray.at(row);
    m_field->setText(chosen.deviceName);
    // The record is looked up by name for its latest state, but two servers
    // may share a name: the row's own address decides which one is meant.
    const std::optional<DeviceInfo> stored =
        FMManager::sharedManagerInstance().selectUserInfoWithDeviceName(chosen.deviceName);
    const bool sameServer = stored && !stored->isEmpty() && stored->deviceIp == chosen.deviceIp;
    CommonManager::sharedManager().currentSelectDev = sameServer ? *stored : chosen;
    return true;
}
