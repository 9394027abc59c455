#include "simfixture.h"

#include <QNetworkInterface>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

// The announcement as a phone reads it: hex offsets into the reply text.
struct Announcement
{
    QString identifier;
    QString name;
    QString password;
    QStringList windowRecords;
    QString address;
    QString rest;
};

std::optional<Announcement> readAnnouncement(const QByteArray &datagram)
{
    const QString h = QString::fromLatin1(datagram.toHex());
    if (!h.startsWith(QLatin1String("414e44025001")))
        return std::nullopt;
    auto field = [&h](qsizetype at, qsizetype bytes) -> std::optional<QString> {
        if (at < 0 || at + 2 * bytes > h.size())
            return std::nullopt;
        return h.mid(at, 2 * bytes);
    };
    auto number = [](const QString &hex) { return hex.toInt(nullptr, 16); };
    auto utf8 = [](const QString &hex) { return QString::fromUtf8(QByteArray::fromHex(hex.toLatin1())); };

    Announcement a;
    const auto id = field(12, 4);
    const auto nameLength = field(20, 2);
    if (!id || !nameLength)
        return std::nullopt;
    a.identifier = *id;
    const int n = number(*nameLength);
    const auto name = field(24, n);
    const auto passwordLength = field(24 + 2 * n, 2);
    if (!name || !passwordLength)
        return std::nullopt;
    a.name = utf8(*name);
    const int p = number(*passwordLength);
    const auto password = field(28 + 2 * n, p);
    const auto windowCount = field(28 + 2 * n + 2 * p, 1);
    if (!password || !windowCount)
        return std::nullopt;
    a.password = utf8(*password);
    const int w = number(*windowCount);
    for (int i = 0; i < w; ++i) {
        const auto record = field(30 + 2 * n + 2 * p + 8 * i, 4);
        if (!record)
            return std::nullopt;
        a.windowRecords << *record;
    }
    const qsizetype addressAt = 30 + 2 * n + 2 * p + 8 * w;
    const auto address = field(addressAt, 4);
    if (!address)
        return std::nullopt;
    bool ok = false;
    a.address = QHostAddress(address->toUInt(&ok, 16)).toString();
    a.rest = h.mid(addressAt + 8);
    return a;
}

QStringList ids(const QStringList &records)
{
    QStringList out;
    for (const QString &r : records)
        out << r.left(2);
    return out;
}

// Lines that stand for one received datagram: "<code> <hex>" or "ignored ...".
qsizetype receivedLineCount(const SimServer &sim)
{
    static const QRegularExpression request(QStringLiteral("^[0-9a-f]{4} [0-9a-f]*$"));
    qsizetype n = 0;
    for (const QString &line : sim.logLines())
        if (line.startsWith(QLatin1String("ignored")) || request.match(line).hasMatch())
            ++n;
    return n;
}

class SimServerTest : public ::testing::Test
{
protected:
    std::unique_ptr<SimServer> startSim(const SimConfig &config)
    {
        auto sim = std::make_unique<SimServer>(config);
        EXPECT_TRUE(sim->start()) << sim->errorString().toStdString();
        return sim;
    }
    std::unique_ptr<SimServer> startSim() { return startSim(loopbackSimConfig(m_phone.port())); }
    // The server alone with the login family and what a test adds, so that
    // families added later do not change what these tests see.
    static SimConfig coreConfig(quint16 phonePort)
    {
        SimConfig c = loopbackSimConfig(phonePort);
        c.families = {QStringLiteral("login")};
        return c;
    }

    PhoneSocket m_phone;
};

// Written out by hand from the layout, not by the code under test.
TEST_F(SimServerTest, AnnouncementIsByteExact)
{
    SimConfig c = loopbackSimConfig(m_phone.port());
    c.identifier = 0x0a0b0c0d;
    c.name = QStringLiteral("AB");
    c.password = QStringLiteral("468");
    c.windows = {SimWindow{0x01, 0, 0}};
    auto sim = startSim(c);

    const auto d = m_phone.next(QByteArray::fromHex("414e44025001"));
    ASSERT_TRUE(d);
    EXPECT_EQ(d->data().toHex(), QByteArray("414e44025001"
                                            "0a0b0c0d"
                                            "0002"
                                            "4142"
                                            "0003"
                                            "343638"
                                            "01"
                                            "01000000"
                                            "7f000002"
                                            "01"));
    // The phone records the sender as the server's address.
    EXPECT_EQ(d->senderAddress(), simAddress());
    EXPECT_EQ(d->senderPort(), sim->udpPort());
}

TEST_F(SimServerTest, AnnouncementCarriesTheConfiguredServer)
{
    struct Case
    {
        quint32 identifier;
        QString name;
        QString password;
        QList<quint8> windows;
    };
    const Case cases[] = {
        {0x12345678, QStringLiteral("测试服务器"), QStringLiteral("123456"), {0x01, 0x02, 0x0a}},
        {0xfffffffe, QString(), QString(), {}},
        {0x00000001, QStringLiteral("屏幕-").repeated(60), QStringLiteral("密码"), {0xff}},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name.toStdString());
        SimConfig c = loopbackSimConfig(m_phone.port());
        c.identifier = k.identifier;
        c.name = k.name;
        c.password = k.password;
        c.windows.clear();
        for (quint8 id : k.windows)
            c.windows.append(SimWindow{id, 0, 0});
        auto sim = startSim(c);

        const auto d = m_phone.next(QByteArray::fromHex("414e44025001"));
        ASSERT_TRUE(d);
        const auto a = readAnnouncement(d->data());
        ASSERT_TRUE(a);
        EXPECT_EQ(a->identifier, QStringLiteral("%1").arg(k.identifier, 8, 16, QLatin1Char('0')));
        EXPECT_EQ(a->name, k.name);
        EXPECT_EQ(a->password, k.password);
        QStringList expectedIds;
        for (quint8 id : k.windows)
            expectedIds << QStringLiteral("%1").arg(id, 2, 16, QLatin1Char('0'));
        EXPECT_EQ(ids(a->windowRecords), expectedIds);
        EXPECT_EQ(a->address, QStringLiteral("127.0.0.2"));
        // A phone drops an announcement that ends at the address.
        EXPECT_FALSE(a->rest.isEmpty());
    }
}

TEST_F(SimServerTest, AnnouncesEveryIntervalWithTheCurrentWindows)
{
    SimConfig c = loopbackSimConfig(m_phone.port());
    c.intervalMs = 40;
    auto sim = startSim(c);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(m_phone.next(QByteArray::fromHex("414e44025001"))) << "announcement " << i;

    // What a window family changes shows in the next announcement.
    sim->setWindows({SimWindow{0x02, 3, 0}, SimWindow{0x03, 0, 0}});
    std::optional<Announcement> a;
    ASSERT_TRUE(waitUntil([&] {
        const auto d = m_phone.next(QByteArray::fromHex("414e44025001"), 100);
        if (d)
            a = readAnnouncement(d->data());
        return a && a->windowRecords.size() == 2;
    }));
    EXPECT_EQ(a->windowRecords, (QStringList{QStringLiteral("02030000"), QStringLiteral("03000000")}));
}

TEST_F(SimServerTest, WildcardBindAnnouncesAnAddressOfThisMachine)
{
    SimConfig c = loopbackSimConfig(m_phone.port());
    c.bindAddress = QHostAddress(QHostAddress::AnyIPv4);
    auto sim = startSim(c);
    const auto d = m_phone.next(QByteArray::fromHex("414e44025001"));
    ASSERT_TRUE(d);
    const auto a = readAnnouncement(d->data());
    ASSERT_TRUE(a);
    EXPECT_NE(a->address, QStringLiteral("0.0.0.0"));
    EXPECT_TRUE(QNetworkInterface::allAddresses().contains(QHostAddress(a->address))) << a->address.toStdString();
}

TEST_F(SimServerTest, LoginIsLoggedAndRemembered)
{
    struct Case
    {
        const char *what;
        quint32 userId;
        QString userName;
        QString password;
        QString carried;      // the phone address inside the frame
        QString loginLine;    // "" when no login line is expected
        QStringList phones;   // remembered afterwards
    };
    const Case cases[] = {
        {"chinese name", 890923, QStringLiteral("张三"), QStringLiteral("468"), QStringLiteral("127.0.0.1"),
         QStringLiteral("login user 000d982b (890923) name \"张三\" phone 127.0.0.1"), {QStringLiteral("127.0.0.1")}},
        {"empty name", 0xfedcba98, QString(), QStringLiteral("468"), QStringLiteral("127.0.0.1"),
         QStringLiteral("login user fedcba98 (4275878552) name \"\" phone 127.0.0.1"), {QStringLiteral("127.0.0.1")}},
        // The password is announced to all: a login cannot make another
        // address a phone that replies go to. It is the sender that logs in.
        {"carried address", 7, QStringLiteral("ann"), QStringLiteral("468"), QStringLiteral("127.0.0.5"),
         QStringLiteral("login from 127.0.0.1 carried 127.0.0.5: remembered as 127.0.0.1"), {QStringLiteral("127.0.0.1")}},
        {"phone without network", 7, QStringLiteral("ann"), QStringLiteral("468"), QStringLiteral("0.0.0.0"),
         QStringLiteral("login user 00000007 (7) name \"ann\" phone 0.0.0.0"), {QStringLiteral("127.0.0.1")}},
        {"wrong password", 7, QStringLiteral("ann"), QStringLiteral("469"), QStringLiteral("127.0.0.1"),
         QStringLiteral("login user 00000007 (7) name \"ann\" phone 127.0.0.1"), {}},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.what);
        auto sim = startSim();
        const QByteArray frame = loginFrame(k.userId, k.userName, k.password, QHostAddress(k.carried));
        m_phone.send(frame, sim->udpPort());

        ASSERT_TRUE(waitForLine(*sim, k.loginLine));
        EXPECT_TRUE(hasLine(*sim, QStringLiteral("5002 ") + QString::fromLatin1(frame.toHex())));
        QStringList phones;
        for (const QHostAddress &p : sim->phones())
            phones << p.toString();
        EXPECT_EQ(phones, k.phones);

        const QVariantMap state = sim->family(QStringLiteral("login"))->state();
        EXPECT_EQ(state.value(QStringLiteral("logins")).toInt(), k.phones.size());
        EXPECT_EQ(state.value(QStringLiteral("refused")).toInt(), k.phones.isEmpty() ? 1 : 0);
    }
}

TEST_F(SimServerTest, RepeatedLoginsKeepOnePhone)
{
    auto sim = startSim();
    const QByteArray frame = loginFrame(1, QStringLiteral("a"), QStringLiteral("468"), phoneAddress());
    for (int i = 0; i < 3; ++i)
        m_phone.send(frame, sim->udpPort());
    ASSERT_TRUE(waitUntil(
        [&] { return sim->family(QStringLiteral("login"))->state().value(QStringLiteral("logins")).toInt() == 3; }));
    EXPECT_EQ(sim->phones(), QList<QHostAddress>{phoneAddress()});
    EXPECT_EQ(sim->logLines().filter(QStringLiteral("state login logged in 127.0.0.1")).size(), 1);
}

TEST_F(SimServerTest, TruncatedLoginsAndGarbageAreLoggedAndSurvived)
{
    auto sim = startSim();
    const QByteArray good = loginFrame(890923, QStringLiteral("张三"), QStringLiteral("468"), phoneAddress());

    QList<QByteArray> datagrams;
    // Every cut of a login, down to the bare header.
    for (qsizetype n = good.size() - 1; n >= 6; --n)
        datagrams << good.left(n);
    const qsizetype truncatedLogins = datagrams.size();
    // A name length that runs past the end.
    QByteArray longName = good;
    longName[10] = char(0xff);
    longName[11] = char(0xff);
    datagrams << longName;
    // Not requests at all.
    const char *notRequests[] = {"",         "41", "414e44", "414e4401", "414e440150", "414e44025001000000010000",
                                 "4e414401500200000000", "ffffffffffffffffffff"};
    for (const char *hex : notRequests)
        datagrams << QByteArray::fromHex(hex);
    // Random bytes, half of them behind a login header so that they reach the parser.
    QRandomGenerator random(20240601);
    for (int i = 0; i < 200; ++i) {
        QByteArray d(random.bounded(0, 48), Qt::Uninitialized);
        for (char &b : d)
            b = char(random.bounded(256));
        datagrams << (i % 2 ? QByteArray::fromHex("414e44015002") + d : d);
    }

    // In small batches, so that the socket buffer never overflows and each
    // datagram can be counted in the log.
    qsizetype sent = 0;
    for (qsizetype i = 0; i < datagrams.size(); ++i) {
        m_phone.send(datagrams[i], i % 3 ? sim->udpPort() : sim->timePort());
        if (++sent % 20 == 0 || i + 1 == datagrams.size()) {
            ASSERT_TRUE(waitUntil([&] { return receivedLineCount(*sim) == sent; }))
                << receivedLineCount(*sim) << " of " << sent;
        }
    }
    // Login is on the control port only; the others were unhandled on the time port.
    qsizetype truncatedOnControl = 0;
    for (qsizetype i = 0; i < truncatedLogins; ++i)
        truncatedOnControl += (i % 3) ? 1 : 0;
    EXPECT_GE(sim->logLines().filter(QRegularExpression(QStringLiteral("^malformed 5002: "))).size(),
              truncatedOnControl);
    EXPECT_TRUE(hasLine(*sim, QStringLiteral("ignored 0 bytes, too short: ")));
    EXPECT_TRUE(hasLine(*sim, QStringLiteral("ignored, not a request: 414e44025001000000010000")));
    EXPECT_GE(sim->logLines().filter(QRegularExpression(QStringLiteral("^ignored"))).size(),
              qsizetype(std::size(notRequests)));
    EXPECT_TRUE(sim->phones().isEmpty());

    // Still answering.
    m_phone.send(good, sim->udpPort());
    EXPECT_TRUE(waitForLine(*sim, QStringLiteral("login user 000d982b (890923) name \"张三\" phone 127.0.0.1")));
}

TEST_F(SimServerTest, EndingConnectionsSends5003ToEachLoggedInPhoneOnce)
{
    auto sim = startSim();
    m_phone.send(loginFrame(1, QStringLiteral("a"), QStringLiteral("468"), phoneAddress()), sim->udpPort());
    ASSERT_TRUE(waitUntil([&] { return !sim->phones().isEmpty(); }));

    sim->endConnections();
    const auto end = m_phone.next(QByteArray::fromHex("414e44025003"));
    ASSERT_TRUE(end);
    EXPECT_EQ(end->data(), QByteArray::fromHex("414e44025003"));
    EXPECT_TRUE(sim->phones().isEmpty());

    // Forgotten: a second end sends nothing.
    sim->endConnections();
    spinFor(200);
    EXPECT_EQ(m_phone.untaken(), 0);
}

TEST_F(SimServerTest, EndAfterTimerEndsConnectionsAndKeepsRunning)
{
    SimConfig c = loopbackSimConfig(m_phone.port());
    c.endAfterMs = 50;
    auto sim = startSim(c);
    // Before the event loop runs, so the timer cannot have fired yet.
    sim->addPhone(phoneAddress());
    ASSERT_TRUE(m_phone.next(QByteArray::fromHex("414e44025003")));
    EXPECT_TRUE(sim->isRunning());

    m_phone.send(loginFrame(1, QStringLiteral("a"), QStringLiteral("468"), phoneAddress()), sim->udpPort());
    EXPECT_TRUE(waitUntil([&] { return !sim->phones().isEmpty(); }));
}

TEST_F(SimServerTest, UnboundPortsFailTheStartAndLeaveNothingOpen)
{
    enum Held { Control, Time, Tcp };
    const struct
    {
        Held held;
        const char *message;
    } cases[] = {{Control, "UDP control port"}, {Time, "UDP time port"}, {Tcp, "TCP file port"}};
    for (const auto &k : cases) {
        SCOPED_TRACE(k.message);
        const SimConfig c = loopbackSimConfig(m_phone.port());
        QUdpSocket udp;
        QTcpServer tcp;
        if (k.held == Tcp)
            ASSERT_TRUE(tcp.listen(simAddress(), c.tcpPort));
        else
            ASSERT_TRUE(udp.bind(simAddress(), k.held == Control ? c.udpPort : c.timePort,
                                 QAbstractSocket::DontShareAddress));

        SimServer sim(c);
        EXPECT_FALSE(sim.start());
        EXPECT_FALSE(sim.isRunning());
        EXPECT_TRUE(sim.errorString().contains(QLatin1String(k.message))) << sim.errorString().toStdString();

        // Whatever did bind was let go again.
        QUdpSocket control, time;
        EXPECT_TRUE(k.held == Control || control.bind(simAddress(), c.udpPort, QAbstractSocket::DontShareAddress));
        EXPECT_TRUE(k.held == Time || time.bind(simAddress(), c.timePort, QAbstractSocket::DontShareAddress));
    }
}

TEST_F(SimServerTest, LogFileGetsEveryLine)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SimConfig c = loopbackSimConfig(m_phone.port());
    c.logFile = dir.filePath(QStringLiteral("sim.log"));
    auto sim = startSim(c);
    const QByteArray frame = loginFrame(890923, QStringLiteral("张三"), QStringLiteral("468"), phoneAddress());
    m_phone.send(frame, sim->udpPort());
    ASSERT_TRUE(waitForLine(*sim, QStringLiteral("login user 000d982b (890923) name \"张三\" phone 127.0.0.1")));
    sim.reset();

    QFile f(c.logFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_TRUE(lines.contains(QStringLiteral("5002 ") + QString::fromLatin1(frame.toHex())));
    EXPECT_TRUE(lines.contains(QStringLiteral("login user 000d982b (890923) name \"张三\" phone 127.0.0.1")));
    EXPECT_EQ(lines.constLast(), QStringLiteral("stopped"));
}

// A family as a later developer writes one: a code on the time port, a reply
// to the carried address, state, and the file stream.
class ProbeFamily : public SimFamily
{
public:
    QString name() const override { return QStringLiteral("probe"); }
    void install(SimRoutes &routes) override
    {
        routes.on(SimPort::Time, 0x5f01, [this](const SimRequest &q) {
            const QHostAddress phone = q.trailingAddress();
            if (phone.isNull())
                return malformed(q, QStringLiteral("no phone address"));
            ++m_queries;
            logState(QStringLiteral("queries=%1").arg(m_queries));
            sendReply(phone, SimFrameWriter(0x5f02).u8(quint8(m_queries)).frame());
            m_badHexSent = sendReply(phone, QStringLiteral("414e44025f0"));
        });
        // Already the login family's: must stay with it.
        routes.on(SimPort::Control, 0x5002, [this](const SimRequest &) { ++m_stolenLogins; });
        routes.onTcpConnection([this](QTcpSocket *socket) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { m_stream += socket->readAll(); });
        });
    }
    QVariantMap state() const override { return {{QStringLiteral("queries"), m_queries}}; }

    int m_queries = 0;
    int m_stolenLogins = 0;
    bool m_badHexSent = true;
    QByteArray m_stream;
};

TEST_F(SimServerTest, FamilyAnswersItsCodeOnItsPortOnly)
{
    SimServer sim(coreConfig(m_phone.port()));
    sim.addFamily(std::make_unique<ProbeFamily>());
    ASSERT_TRUE(sim.start());
    ProbeFamily *probe = sim.family<ProbeFamily>();
    ASSERT_NE(probe, nullptr);
    EXPECT_TRUE(hasLine(sim, QStringLiteral("duplicate handler for 5002 on the control port from probe ignored: "
                                            "login has it")));
    // Registered families come whatever the test adds.
    EXPECT_NE(sim.family(QStringLiteral("login")), nullptr);

    const QByteArray query = QByteArray::fromHex("414e44015f017f000001");
    m_phone.send(query, sim.udpPort());
    ASSERT_TRUE(waitForLine(sim, QStringLiteral("unhandled 5f01 on the control port from 127.0.0.1:%1")
                                     .arg(m_phone.port())));
    EXPECT_EQ(probe->m_queries, 0);

    m_phone.send(query, sim.timePort());
    const auto reply = m_phone.next(QByteArray::fromHex("414e44025f02"));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->data(), QByteArray::fromHex("414e44025f0201"));
    EXPECT_TRUE(hasLine(sim, QStringLiteral("5f01 414e44015f017f000001")));
    EXPECT_TRUE(hasLine(sim, QStringLiteral("state probe queries=1")));
    EXPECT_TRUE(hasLine(sim, QStringLiteral("send 5f02 127.0.0.1:%1 414e44025f0201").arg(m_phone.port())));
    EXPECT_FALSE(probe->m_badHexSent);
    EXPECT_EQ(sim.family(QStringLiteral("probe"))->state().value(QStringLiteral("queries")).toInt(), 1);

    m_phone.send(QByteArray::fromHex("414e44015f01"), sim.timePort());
    EXPECT_TRUE(waitForLine(sim, QStringLiteral("malformed 5f01: no phone address")));

    m_phone.send(loginFrame(1, QStringLiteral("a"), QStringLiteral("468"), phoneAddress()), sim.udpPort());
    ASSERT_TRUE(waitUntil([&] { return !sim.phones().isEmpty(); }));
    EXPECT_EQ(probe->m_stolenLogins, 0);
}

TEST_F(SimServerTest, FileStreamGoesToTheFamilyThatTakesIt)
{
    SimServer sim(coreConfig(m_phone.port()));
    sim.addFamily(std::make_unique<ProbeFamily>());
    // A second reader of the stream is refused, as a second handler of a code is.
    auto second = std::make_unique<ProbeFamily>();
    ProbeFamily *secondProbe = second.get();
    sim.addFamily(std::move(second));
    ASSERT_TRUE(sim.start());

    QTcpSocket client;
    client.connectToHost(simAddress(), sim.tcpPort());
    ASSERT_TRUE(waitUntil([&] { return client.state() == QAbstractSocket::ConnectedState; }));
    client.write(QByteArray::fromHex("414e4401510400") + QByteArray(5000, 'x'));
    ASSERT_TRUE(waitUntil([&] { return sim.family<ProbeFamily>()->m_stream.size() == 5007; }));
    EXPECT_TRUE(sim.family<ProbeFamily>()->m_stream.startsWith(QByteArray::fromHex("414e4401510400")));
    EXPECT_TRUE(secondProbe->m_stream.isEmpty());
    EXPECT_TRUE(hasLine(sim, QStringLiteral("duplicate handler for the file stream from probe ignored: probe has it")));
    EXPECT_EQ(sim.logLines().filter(QStringLiteral("tcp connected 127.0.0.1:")).size(), 1);

    client.disconnectFromHost();
    EXPECT_TRUE(waitUntil([&] { return !sim.logLines().filter(QStringLiteral("tcp closed 127.0.0.1:")).isEmpty(); }));
}

TEST_F(SimServerTest, FileStreamWithoutATakerIsKeptAndDrained)
{
    auto sim = startSim(coreConfig(m_phone.port()));
    QTcpSocket client;
    client.connectToHost(simAddress(), sim->tcpPort());
    ASSERT_TRUE(waitUntil([&] { return client.state() == QAbstractSocket::ConnectedState; }));
    client.write(QByteArray(100, 'y'));
    ASSERT_TRUE(waitUntil([&] { return !sim->logLines().filter(QStringLiteral(" dropped (no reader)")).isEmpty(); }));
    spinFor(100);
    EXPECT_EQ(client.state(), QAbstractSocket::ConnectedState);
}

} // namespace
