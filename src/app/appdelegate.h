#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class AppContext;
class QGuiApplication;

// One address of one interface, as the enumeration reports it.
struct InterfaceAddress
{
    QString name;      // "en0", "eth0", ...
    bool up = false;
    bool loopback = false;
    bool ipv6 = false;
    QString address;   // text form; empty when it could not be converted
};

// Start-up and lifecycle: starts and stops the UDP endpoint with the
// application's activity and keeps the phone's own address in the session.
// A changed address on return to the foreground sends the user back to the
// discovery screen. It creates no screen.
class AppDelegate : public QObject
{
    Q_OBJECT

public:
    using InterfaceProvider = std::function<QList<InterfaceAddress>()>;

    explicit AppDelegate(AppContext &ctx);
    static AppDelegate &shareAppDelegate();

    // The interfaces come from here (tests give their own table).
    void setInterfaceProvider(InterfaceProvider provider);
    // The machine's interfaces, from getifaddrs and inet_ntop.
    static QList<InterfaceAddress> systemInterfaces();

    // "name/ipv4" or "name/ipv6" to the address, for the interfaces that are
    // up; nothing when there is none.
    std::optional<QMap<QString, QString>> getIPAddresses() const;
    // The phone's search order (utun0, en0, pdp_ip0), then the first
    // interface that is up, not loopback, with an IPv4 address; else "0.0.0.0".
    QString getIPAddress(bool preferIPv4) const;
    // What the phone calls its address: the configured one when set, else
    // the one found on the interfaces.
    QString chooseAddress() const;

    bool didFinishLaunching();
    void applicationWillResignActive();
    void applicationWillEnterForeground();

    // Qt's application states mapped onto the two above: leaving the screen
    // (hidden or suspended) resigns, becoming active again after that comes
    // back to the foreground. A passing inactive state (focus elsewhere)
    // changes nothing.
    void applicationStateChanged(Qt::ApplicationState state);
    void attachTo(QGuiApplication *app);
    bool isResigned() const { return m_resigned; }

private:
    AppContext &m_ctx;
    InterfaceProvider m_provider;
    bool m_resigned = false;
};
