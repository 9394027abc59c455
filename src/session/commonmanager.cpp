#include "session/commonmanager.h"

#include "core/appcontext.h"
#include "protocol/commonclass.h"

CommonManager::CommonManager(AppContext &) {}

CommonManager &CommonManager::sharedManager()
{
    return AppContext::current()->shared<CommonManager>();
}

void CommonManager::setCurrentPhoneIp(const QString &ip)
{
    m_currentPhoneIp = ip;
    m_currentPhoneIpHex = CommonClass::changToHexIpWithHostIpString(ip);
}
