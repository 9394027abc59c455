#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class AddressWatch;
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
    int prefixLength = -1; // of the netmask; -1 when unknown
};

// Start-up and lifecycle: starts and stops the UDP endpoint with the
// application's activity and keeps the phone's own address in the session.
// A changed address sends the user back to the discovery screen. It creates
// no screen.
//
// On a desktop the phone's lifecycle maps as follows: quitting, and the
// window being minimised or hidden, resign active; the window coming back
// enters the foreground; focus moving elsewhere changes nothing. A process
// can also end by a crash or a kill, so launch empties the file history that
// a previous run may have left.
//
// The own address is the one the system uses to reach the selected server
// (with no server yet: the phone's interface names, then the first suitable
// interface). --phone-address, and after it the user's setting, replace it.
// While active, an address watch notices network changes: an address that
// really changes runs the same path as a changed address on return to the
// foreground, and a multicast group that could not be joined is tried again.
class AppDelegate : public QObject
{
    Q_OBJECT

public:
    using InterfaceProvider = std::function<QList<InterfaceAddress>()>;
    // The local address of a route towards a server; empty when there is none.
    using RouteProvider = std::function<QString(const QString &serverIp)>;
    // The user's own-address setting; empty or missing: automatic.
    static constexpr const char *kPhoneAddressKey = "PhoneAddress";

    explicit AppDelegate(AppContext &ctx);
    ~AppDelegate() override;
    static AppDelegate &shareAppDelegate();

    // The interfaces and routes come from here (tests give their own).
    void setInterfaceProvider(InterfaceProvider provider);
    void setRouteProvider(RouteProvider provider);
    // The machine's interfaces, from getifaddrs and inet_ntop.
    static QList<InterfaceAddress> systemInterfaces();
    // The source address the routing table gives for serverIp. Asked with a
    // UDP socket's connect(), which sends nothing.
    static QString systemRouteTo(const QString &serverIp);

    // "name/ipv4" or "name/ipv6" to the address, for the interfaces that are
    // up; nothing when there is none.
    std::optional<QMap<QString, QString>> getIPAddresses() const;
    // The phone's search order (utun0, en0, pdp_ip0), then the first
    // interface that is up, not loopback, with an IPv4 address; else "0.0.0.0".
    QString getIPAddress(bool preferIPv4) const;
    // The address on the way to serverIp: the route's source address, else
    // the address of the interface whose subnet holds it; empty when neither.
    QString addressTowards(const QString &serverIp) const;
    // Without any setting: towards the server, else getIPAddress(true).
    QString automaticAddress(const QString &serverIp) const;
    // What the phone calls its address for reaching serverIp: the configured
    // one, else the user's setting, else the automatic one.
    QString chooseAddress(const QString &serverIp) const;
    // The same for the server selected now.
    QString chooseAddress() const;

    // The user's setting: an IPv4 address, or empty for automatic. Saved in
    // the preferences; a change of the address in use runs the address-
    // changed path. False (and nothing changes) for text that is no address.
    QString userAddress() const;
    bool setUserAddress(const QString &address);
    // Whether --phone-address fixes the address (the setting then waits).
    bool isAddressConfigured() const;

    // From now on the session's address follows the selected server.
    void followSelectedServer();

    bool didFinishLaunching();
    void applicationWillResignActive();
    void applicationWillEnterForeground();

    // The address watch found a change: try the group again, and run the
    // address-changed path when the address for the selected server changed.
    void networkChanged();
    AddressWatch &addressWatch() { return *m_watch; }

    // Qt's application states mapped onto the two above: leaving the screen
    // (hidden or suspended) resigns, becoming active again after that comes
    // back to the foreground. A passing inactive state (focus elsewhere)
    // changes nothing.
    void applicationStateChanged(Qt::ApplicationState state);
    // The top-level windows as they are now: none shown (all hidden or
    // minimised) resigns, one shown again comes back.
    void windowsChanged();
    // Quitting resigns, if that has not happened yet.
    void applicationWillTerminate();
    void attachTo(QGuiApplication *app);
    bool isResigned() const { return m_resigned; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addressChanged(const QString &address);
    void resign();
    void comeBack();
    QString networkSnapshot() const;
    void showStoreFailure();

    AppContext &m_ctx;
    InterfaceProvider m_provider;
    RouteProvider m_route;
    std::unique_ptr<AddressWatch> m_watch;
    bool m_resigned = false;
    bool m_windowShown = false;
    bool m_windowCheckQueued = false;
    bool m_storeFailureShown = false;
};
