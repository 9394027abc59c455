// qevactl on a network that is not kind: an address that is none, a port
// someone else holds, and a flood of other servers' announcements.
#include "../discovery/announcement.h"
#include "clifixture.h"

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

TEST_F(CliTest, TextThatLooksLikeAnAddressButIsNoneIsABadArgument)
{
    for (const char *server : {"300.1.1.1", "10.1", "1.2.3.4.5", "256.0.0.1", "1..2.3"}) {
        SCOPED_TRACE(server);
        const Run r = ctl({QStringLiteral("-s"), QLatin1String(server), QStringLiteral("volume")});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(QStringLiteral("--server: \"%1\" is not an IPv4 address").arg(QLatin1String(server))))
            << r.err.toStdString();
    }
    // Leading zeros are decimal, as a person writes them, not octal.
    const Run zeros = ctl({QStringLiteral("-s"), QStringLiteral("127.0.0.010"), QStringLiteral("settings")});
    EXPECT_EQ(zeros.exitCode, 1);
    EXPECT_TRUE(zeros.err.contains(QLatin1String("127.0.0.10: no reply"))) << zeros.err.toStdString();
}

TEST_F(CliTest, APortSomeoneElseHoldsIsReportedWithTheSystemsReason)
{
    QUdpSocket holder; // no address sharing: the port is taken for good
    ASSERT_TRUE(holder.bind(QHostAddress(QStringLiteral("127.0.0.1")), m_phonePort));
    const Run r = ctl({QStringLiteral("scan")});
    EXPECT_EQ(r.exitCode, 1);
    const QString expected = QStringLiteral("cannot listen on 127.0.0.1:%1: ").arg(m_phonePort);
    ASSERT_TRUE(r.err.contains(expected)) << r.err.toStdString();
    // The reason is the system's, not a guess.
    const QString reason = r.err.mid(r.err.indexOf(expected) + expected.size()).section(QLatin1Char('\n'), 0, 0);
    EXPECT_FALSE(reason.startsWith(QLatin1String("(see"))) << reason.toStdString();
}

// Announcements of many servers that are not the one asked, from
// 127.0.0.20 and up, until stopped.
class AnnouncementFlood
{
public:
    explicit AnnouncementFlood(quint16 port)
    {
        m_thread = std::thread([this, port] {
            int sockets[8];
            for (int i = 0; i < 8; ++i) {
                sockets[i] = ::socket(AF_INET, SOCK_DGRAM, 0);
                sockaddr_in from = {};
                from.sin_family = AF_INET;
                from.sin_addr.s_addr = htonl(0x7f000014u + quint32(i));
                ::bind(sockets[i], reinterpret_cast<sockaddr *>(&from), sizeof from);
            }
            sockaddr_in to = {};
            to.sin_family = AF_INET;
            to.sin_port = htons(port);
            to.sin_addr.s_addr = htonl(0x7f000001u);
            auto due = std::chrono::steady_clock::now();
            for (int n = 0; !m_stop; ++n) {
                if (n % 20 == 0) { // 2,000 a second
                    std::this_thread::sleep_until(due);
                    due += std::chrono::milliseconds(10);
                }
                Announcement a;
                a.userId = QStringLiteral("%1").arg(0x30000000 + n, 8, 16, QLatin1Char('0'));
                a.name = QByteArray("other-") + QByteArray::number(n);
                const QByteArray bytes = a.bytes();
                ::sendto(sockets[n % 8], bytes.constData(), size_t(bytes.size()), 0, reinterpret_cast<sockaddr *>(&to),
                         sizeof to);
                ++m_sent;
            }
            for (int fd : sockets)
                ::close(fd);
        });
    }
    ~AnnouncementFlood()
    {
        m_stop = true;
        m_thread.join();
    }
    int sent() const { return m_sent; }

private:
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_sent{0};
};

TEST_F(CliTest, AQueryIsAnsweredInTheMiddleOfAFloodOfOtherServers)
{
    startSim(0);
    AnnouncementFlood flood(m_phonePort);
    const struct {
        const char *server;
        int exitCode;
        const char *out;
        const char *err;
    } cases[] = {
        {"127.0.0.2", 0, "volume:", ""},
        {"127.0.0.9", 1, "", "127.0.0.9: no reply to the volume query within 2 s"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.server);
        const Run r = ctl({QStringLiteral("-s"), QLatin1String(c.server), QStringLiteral("volume")});
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_EQ(r.out.section(QLatin1Char(' '), 0, 0), QLatin1String(c.out)) << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.err))) << r.err.toStdString();
    }
    EXPECT_GT(flood.sent(), 0);
}

} // namespace
