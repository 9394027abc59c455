#pragma once

#include "session/deviceinfo.h"

#include <QString>

class AppContext;

// Where the phone is working: the selected server and window, its own
// address in two forms, and three flags shared between screens. One per
// context; nothing of it is saved.
class CommonManager
{
public:
    explicit CommonManager(AppContext &ctx);
    static CommonManager &sharedManager();

    DeviceInfo currentSelectDev;   // empty until the server list selects one
    QString currentWindowID;       // 2 hex digits
    bool isUpdateWindow = false;
    bool isFinishSendFiles = false;
    bool isAddTimeProject = false;

    QString currentPhoneIp() const { return m_currentPhoneIp; }
    QString currentPhoneIpHex() const { return m_currentPhoneIpHex; }
    // Sets both forms together, so the hex form is always that of the text.
    void setCurrentPhoneIp(const QString &ip);

private:
    QString m_currentPhoneIp;
    QString m_currentPhoneIpHex;
};
