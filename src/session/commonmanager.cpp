#include "session/commonmanager.h"

#include "core/appcontext.h"
#include "protocol/hexcodec.h"

CommonManager::CommonManager(AppContext &) {}

CommonManager &CommonManager::sharedManager()
{
    return AppContext::current()->shared<CommonManager>();
}

QString CommonManager::currentPhoneIp() const
{
    follow();
    return m_currentPhoneIp;
}

QString CommonManager::currentPhoneIpHex() const
{
    follow();
    return m_currentPhoneIpHex;
}

void CommonManager::setCurrentPhoneIp(const QString &ip)
{
    m_addressServer = currentSelectDev.deviceIp;
    apply(ip);
}

void CommonManager::setAddressResolver(AddressResolver resolver)
{
    m_resolver = std::move(resolver);
    if (m_resolver) {
        m_addressServer = currentSelectDev.deviceIp;
        apply(m_resolver(m_addressServer));
    }
}

void CommonManager::follow() const
{
    if (!m_resolver || currentSelectDev.deviceIp == m_addressServer)
        return;
    m_addressServer = currentSelectDev.deviceIp;
    apply(m_resolver(m_addressServer));
}

void CommonManager::apply(const QString &ip) const
{
    m_currentPhoneIp = ip;
    m_currentPhoneIpHex = HexCodec::changToHexIpWithHostIpString(ip);
}
