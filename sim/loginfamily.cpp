#include "core/logescape.h"
#include "simfamilies.h"
#include "simfamily.h"
#include "simserver.h"

#include <QMap>

namespace {
const QByteArray kLoginTail = QByteArrayLiteral("\x00\x02\x21\x25");
}

// The login frame 5002, which a phone sends in answer to every announcement:
// it is both the login and the heartbeat. A phone whose password matches the
// announced one is remembered, by the address it carries, until the
// connection is ended (5003). The address it carries must be the one it
// sends from: the password is announced to everyone, so a login must not
// make a third party a phone that replies may be sent to.
class LoginFamily : public SimFamily
{
public:
    QString name() const override { return QStringLiteral("login"); }

    void install(SimRoutes &routes) override
    {
        routes.on(SimPort::Control, 0x5002, [this](const SimRequest &q) { login(q); });
    }

    QVariantMap state() const override
    {
        QVariantMap users;
        for (auto it = m_users.cbegin(); it != m_users.cend(); ++it)
            users.insert(it.key(), it.value());
        return {{QStringLiteral("logins"), m_logins}, {QStringLiteral("refused"), m_refused},
                {QStringLiteral("users"), users}};
    }

private:
    void login(const SimRequest &q)
    {
        SimReader r = q.reader();
        const quint32 userId = r.u32("user id");
        const QString userName = r.text16("user name");
        const QString password = r.text16("password");
        QHostAddress phone = r.ipv4("phone address");
        const QByteArray tail = r.bytes(kLoginTail.size(), "tail");
        if (!r.ok())
            return malformed(q, r.error());

        log(QStringLiteral("login user %1 (%2) name \"%3\" phone %4")
                .arg(userId, 8, 16, QLatin1Char('0'))
                .arg(userId)
                .arg(LogEscape::text(userName), phone.toString()));
        if (tail != kLoginTail)
            log(QStringLiteral("login tail %1, expected 00022125").arg(QString::fromLatin1(tail.toHex())));
        if (r.remaining() > 0)
            log(QStringLiteral("login has %1 byte(s) after the tail").arg(r.remaining()));

        if (password != server().config().password) {
            ++m_refused;
            log(QStringLiteral("login refused: wrong password \"%1\" from %2").arg(LogEscape::text(password), phone.toString()));
            return;
        }
        const QHostAddress sender(q.sender.toIPv4Address());
        // A phone without a network carries 0.0.0.0; the datagram still says where it is.
        if (phone.toIPv4Address() == 0) {
            phone = sender;
            log(QStringLiteral("login carried 0.0.0.0, replies go to the sender %1").arg(phone.toString()));
        } else if (phone != sender) {
            log(QStringLiteral("login from %1 carried %2: remembered as %1").arg(sender.toString(), phone.toString()));
            phone = sender;
        }
        ++m_logins;
        const bool known = server().phones().contains(phone);
        if (!known && !server().addPhone(phone))
            return; // no room for another phone; the server said so
        m_users.insert(phone.toString(), userName);
        if (!known)
            logState(QStringLiteral("logged in %1; phones %2").arg(phone.toString(), phoneList()));
    }

    QString phoneList() const
    {
        QStringList out;
        for (const QHostAddress &p : server().phones())
            out << p.toString();
        return out.join(QLatin1Char(','));
    }

    int m_logins = 0;
    int m_refused = 0;
    QMap<QString, QString> m_users; // phone address -> the user name it last gave
};

std::unique_ptr<SimFamily> makeLoginFamily()
{
    return std::make_unique<LoginFamily>();
}
