#pragma once

#include "session/deviceinfo.h"

#include <QString>
#include <functional>

class AppContext;

// Where the phone is working: the selected server and window, its own
// address in two forms, and three flags shared between screens. One per
// context; nothing of it is saved.
class CommonManager
{
public:
    // The phone's address for reaching a server (empty: no server yet).
    using AddressResolver = std::function<QString(const QString &serverIp)>;

    explicit CommonManager(AppContext &ctx);
    static CommonManager &sharedManager();

    DeviceInfo currentSelectDev;   // empty until the server list selects one
    QString currentWindowID;       // 2 hex digits
    bool isUpdateWindow = false;
    bool isFinishSendFiles = false;
    bool isAddTimeProject = false;

    // The address follows currentSelectDev when a resolver is set: on a
    // machine with several networks each server is reached from its own.
    QString currentPhoneIp() const;
    QString currentPhoneIpHex() const;
    // Sets both forms together, so the hex form is always that of the text,
    // as the address for the server selected now.
    void setCurrentPhoneIp(const QString &ip);
    void setAddressResolver(AddressResolver resolver);
    // The server the current address was chosen for.
    QString addressServer() const { return m_addressServer; }

private:
    void follow() const;
    void apply(const QString &ip) const;

    AddressResolver m_resolver;
    // Brought up to date by the readers when the selection has changed.
    mutable QString m_currentPhoneIp;
    mutable QString m_currentPhoneIpHex;
    mutable QString m_addressServer;
};
