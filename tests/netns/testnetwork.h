#pragma once

// Network namespaces a test makes for itself, joined by veth pairs, and
// removed again when it ends. Nothing they carry leaves the machine.

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

// Runs ip(8); on failure error says what failed.
inline bool ip(const QStringList &args, QString *error = nullptr)
{
    QProcess p;
    p.start(QStringLiteral("ip"), args);
    if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        if (error)
            *error = QStringLiteral("ip %1: %2").arg(args.join(' '), QString::fromLocal8Bit(p.readAllStandardError()).trimmed());
        return false;
    }
    return true;
}

class TestNetwork
{
public:
    // label keeps the names of tests that run at the same time apart.
    explicit TestNetwork(const QString &label)
        : m_tag(label + QString::number(QCoreApplication::applicationPid() % 100000))
    {
    }
    ~TestNetwork()
    {
        for (const QString &ns : m_namespaces)
            ip({"netns", "del", ns});
    }
    TestNetwork(const TestNetwork &) = delete;
    TestNetwork &operator=(const TestNetwork &) = delete;

    bool ok() const { return m_ok; }
    QString error() const { return m_error; }

    // A namespace with its loopback up.
    QString addNamespace(const QString &role)
    {
        const QString ns = QStringLiteral("qeva-%1-%2").arg(role, m_tag);
        if (step({"netns", "add", ns})) {
            m_namespaces << ns;
            step({"-n", ns, "link", "set", "lo", "up"});
        }
        return ns;
    }

    // A veth pair from namespace a to namespace b, each end with its address
    // ("169.254.77.1/24") and up. Gives the names of the two ends.
    QStringList link(const QString &a, const QString &addressA, const QString &b, const QString &addressB)
    {
        const QString ea = QStringLiteral("qv%1a%2").arg(m_links).arg(m_tag.right(6));
        const QString eb = QStringLiteral("qv%1b%2").arg(m_links).arg(m_tag.right(6));
        ++m_links;
        step({"link", "add", ea, "type", "veth", "peer", "name", eb});
        step({"link", "set", ea, "netns", a});
        step({"link", "set", eb, "netns", b});
        configure(a, ea, addressA);
        configure(b, eb, addressB);
        return {ea, eb};
    }

    // One more interface in ns with the address: a dummy interface where the
    // kernel has them, else one end of a veth pair kept in ns.
    QString addInterface(const QString &ns, const QString &address)
    {
        const QString name = QStringLiteral("qd%1%2").arg(m_links++).arg(m_tag.right(6));
        if (!ip({"-n", ns, "link", "add", name, "type", "dummy"})) {
            step({"-n", ns, "link", "add", name, "type", "veth", "peer", "name", name + QLatin1Char('p')});
            step({"-n", ns, "link", "set", name + QLatin1Char('p'), "up"});
        }
        configure(ns, name, address);
        return name;
    }

    bool route(const QString &ns, const QStringList &args) { return step(QStringList{"-n", ns, "route"} + args); }

    // Runs program inside ns with extra environment; the output is merged.
    static int runIn(const QString &ns, const QString &program, const QStringList &args,
                     const QMap<QString, QString> &env, QString *output, int timeoutMs = 60000)
    {
        QProcess p;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        for (auto it = env.cbegin(); it != env.cend(); ++it)
            e.insert(it.key(), it.value());
        p.setProcessEnvironment(e);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral("ip"), QStringList{"netns", "exec", ns, program} + args);
        if (!p.waitForFinished(timeoutMs)) {
            p.kill();
            p.waitForFinished(5000);
        }
        if (output)
            *output = QString::fromUtf8(p.readAll());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

private:
    bool step(const QStringList &args)
    {
        if (m_ok && !ip(args, &m_error))
            m_ok = false;
        return m_ok;
    }
    void configure(const QString &ns, const QString &dev, const QString &address)
    {
        step({"-n", ns, "addr", "add", address, "brd", "+", "dev", dev});
        step({"-n", ns, "link", "set", dev, "up"});
    }

    QString m_tag;
    QStringList m_namespaces;
    int m_links = 0;
    bool m_ok = true;
    QString m_error;
};
