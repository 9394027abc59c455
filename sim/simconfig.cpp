#include "simconfig.h"

std::optional<QNetworkInterface> findSimInterface(const QString &nameOrAddress)
{
    const QHostAddress address(nameOrAddress);
    if (address.isNull()) {
        const QNetworkInterface byName = QNetworkInterface::interfaceFromName(nameOrAddress);
        if (byName.isValid())
            return byName;
        return std::nullopt;
    }
    for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces())
        for (const QNetworkAddressEntry &entry : iface.addressEntries())
            if (entry.ip().isEqual(address, QHostAddress::TolerantConversion))
                return iface;
    return std::nullopt;
}
