#pragma once

#include "support/testcontext.h"

#include <QFile>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>
#include <vector>
#include <QUdpSocket>
#include <gtest/gtest.h>
#include <memory>
#include <deque>

// A server played by the test itself, for replies the simulator never
// sends: each request code is answered with the replies given for it, in
// order, to the phone's port on 127.0.0.1. It is served while ctl() runs.
class FakeServer : public QObject
{
public:
    bool start(const QHostAddress &address, quint16 port, quint16 phonePort)
    {
        m_phonePort = phonePort;
        if (!m_socket.bind(address, port))
            return false;
        QObject::connect(&m_socket, &QUdpSocket::readyRead, this, [this] {
            while (m_socket.hasPendingDatagrams()) {
                const QString hex = QString::fromLatin1(m_socket.receiveDatagram().data().toHex());
                requests << hex;
                for (const QString &reply : answers.value(hex.left(12)))
                    m_socket.writeDatagram(QByteArray::fromHex(reply.toLatin1()), QHostAddress::LocalHost, m_phonePort);
            }
        });
        return true;
    }
    // The requests received with the given 12-character code.
    QStringList received(const QString &code) const
    {
        QStringList out;
        for (const QString &r : requests)
            if (r.startsWith(code))
                out << r;
        return out;
    }

    QMap<QString, QStringList> answers; // request code, "414e44015401" -> reply texts
    QStringList requests;               // every datagram, as hex

private:
    QUdpSocket m_socket;
    quint16 m_phonePort = 0;
};

// qevactl and qeva-sim as processes: simulators on 127.0.0.2 and up, the
// tool on 127.0.0.1, every port free and picked per test.
class CliTest : public ::testing::Test
{
protected:
    struct Run
    {
        int exitCode = -1;
        QString out;
        QString err;
        QStringList lines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    };

    struct Sim
    {
        std::unique_ptr<QProcess> process;
        QString address;
        QString logPath;
    };

    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_phonePort = freeUdpPort(QHostAddress(QStringLiteral("127.0.0.1")));
        // Every simulator listens on the same ports, each on its own address,
        // as servers on a network do.
        m_udpPort = commonPort(false);
        m_timePort = commonPort(false, m_udpPort);
        m_tcpPort = commonPort(true);
        ASSERT_TRUE(m_phonePort && m_udpPort && m_timePort && m_tcpPort);
    }

    void TearDown() override
    {
        for (Sim &s : m_sims) {
            s.process->terminate();
            if (!s.process->waitForFinished(10000)) {
                s.process->kill();
                s.process->waitForFinished(5000);
            }
        }
    }

    static QString simAddress(int index) { return QStringLiteral("127.0.0.%1").arg(index + 2); }

    // Starts simulator number index (0 on 127.0.0.2) and waits for its first
    // announcement; extra arguments and environment as given.
    Sim &startSim(int index, const QStringList &extra = {}, const QMap<QString, QString> &env = {})
    {
        Sim s;
        s.address = simAddress(index);
        s.logPath = m_dir.filePath(QStringLiteral("sim%1.log").arg(index));
        s.process = std::make_unique<QProcess>();
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        for (auto it = env.cbegin(); it != env.cend(); ++it)
            e.insert(it.key(), it.value());
        s.process->setProcessEnvironment(e);
        s.process->start(QStringLiteral(QEVA_SIM_BIN),
                         QStringList{QStringLiteral("--bind"), s.address, QStringLiteral("--announce-to"),
                                     QStringLiteral("127.0.0.1:%1").arg(m_phonePort), QStringLiteral("--reply-port"),
                                     QString::number(m_phonePort), QStringLiteral("--udp-port"), QString::number(m_udpPort),
                                     QStringLiteral("--time-port"), QString::number(m_timePort), QStringLiteral("--tcp-port"),
                                     QString::number(m_tcpPort), QStringLiteral("--interval-ms"), QStringLiteral("200"),
                                     QStringLiteral("--log"), s.logPath}
                             + extra);
        m_sims.push_back(std::move(s));
        Sim &sim = m_sims.back();
        EXPECT_TRUE(sim.process->waitForStarted(10000));
        EXPECT_TRUE(waitForLog(sim, QStringLiteral("send 5001"), 20000))
            << sim.process->readAllStandardError().toStdString();
        return sim;
    }

    QStringList baseArgs() const
    {
        return {QStringLiteral("--bind"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"), QString::number(m_phonePort),
                QStringLiteral("--server-port"), QString::number(m_udpPort), QStringLiteral("--time-port"),
                QString::number(m_timePort), QStringLiteral("--file-port"), QString::number(m_tcpPort),
                QStringLiteral("--scan-seconds"), QStringLiteral("1.5"), QStringLiteral("--timeout"), QStringLiteral("2")};
    }

    // Runs qevactl with the loopback options and args; the process ends by
    // itself. The event loop runs meanwhile, for a FakeServer.
    Run ctl(const QStringList &args, bool withBase = true) { return ctlAll({args}, withBase).constFirst(); }

    // Several runs at once, for cases that each wait out a timeout: the
    // waits overlap instead of adding up. Results in the order given.
    QList<Run> ctlAll(const QList<QStringList> &runs, bool withBase = true)
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        e.remove(QStringLiteral("QEVACTL_SERVER"));
        std::vector<std::unique_ptr<QProcess>> processes;
        for (const QStringList &args : runs) {
            auto p = std::make_unique<QProcess>();
            p->setProcessEnvironment(e);
            p->start(QStringLiteral(QEVA_CTL_BIN), (withBase ? baseArgs() : QStringList()) + args);
            processes.push_back(std::move(p));
        }
        const auto allEnded = [&] {
            return std::all_of(processes.cbegin(), processes.cend(),
                               [](const auto &p) { return p->state() == QProcess::NotRunning; });
        };
        const bool ended = waitUntil(allEnded, 60000);
        QList<Run> results;
        for (const auto &p : processes) {
            Run r;
            if (!ended && p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            } else {
                r.exitCode = p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
                r.out = QString::fromUtf8(p->readAllStandardOutput());
                r.err = QString::fromUtf8(p->readAllStandardError());
            }
            results.append(r);
        }
        return results;
    }

    static QStringList logLines(const Sim &sim)
    {
        QFile f(sim.logPath);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    static bool hasLog(const Sim &sim, const QString &part)
    {
        const QStringList lines = logLines(sim);
        return std::any_of(lines.cbegin(), lines.cend(), [&](const QString &l) { return l.contains(part); });
    }
    static bool waitForLog(const Sim &sim, const QString &part, int ms = 5000)
    {
        return waitUntil([&] { return hasLog(sim, part); }, ms);
    }
    // The requests a simulator received, by their log lines ("5507 414e...").
    static QStringList requests(const Sim &sim)
    {
        QStringList out;
        for (const QString &l : logLines(sim))
            if (l.size() > 5 && l.at(4) == QLatin1Char(' ') && l.mid(5).startsWith(QLatin1String("414e4401"), Qt::CaseInsensitive))
                out << l;
        return out;
    }

    static QJsonObject json(const QString &line)
    {
        return QJsonDocument::fromJson(line.toUtf8()).object();
    }

    QTemporaryDir m_dir;
    quint16 m_phonePort = 0;
    quint16 m_udpPort = 0;
    quint16 m_timePort = 0;
    quint16 m_tcpPort = 0;
    std::deque<Sim> m_sims; // a deque: startSim hands out references that must stay valid

private:
    // A port free on 127.0.0.2 to 127.0.0.4 alike (and not avoid).
    static quint16 commonPort(bool tcp, quint16 avoid = 0)
    {
        for (int attempt = 0; attempt < 50; ++attempt) {
            const QHostAddress first(simAddress(0));
            const quint16 port = tcp ? freeTcpPort(first) : freeUdpPort(first);
            if (!port || port == avoid)
                continue;
            bool everywhere = true;
            for (int i = 0; i < 3 && everywhere; ++i) {
                const QHostAddress a(simAddress(i));
                if (tcp) {
                    QTcpServer s;
                    everywhere = s.listen(a, port);
                } else {
                    QUdpSocket s;
                    everywhere = s.bind(a, port);
                }
            }
            if (everywhere)
                return port;
        }
        return 0;
    }
};
