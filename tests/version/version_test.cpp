#include "qevaversion.h"
#include "support/testcontext.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {

struct Program
{
    const char *name;
    const char *path;
};

const Program kPrograms[] = {
    {"qevactl", QEVA_CTL_BIN},
    {"qeva-sim", QEVA_SIM_BIN},
#ifdef QEVA_REMOTE_BIN
    {"qeva-remote", QEVA_REMOTE_BIN},
#endif
};

struct ProgramRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

ProgramRun run(const char *path, const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    env.remove(QStringLiteral("QT_LOGGING_RULES")); // -v sets its own rules; these would win
    env.remove(QStringLiteral("QEVACTL_SERVER"));
    p.setProcessEnvironment(env);
    p.start(QString::fromUtf8(path), args);
    ProgramRun r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished(5000);
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

// Every program reports the project's version the same way, under
// --version only: -v is never a version alias.
TEST(ProgramVersionTest, EveryProgramSaysTheProjectVersionUnderVersionOnly)
{
    for (const Program &program : kPrograms) {
        SCOPED_TRACE(program.name);
        const ProgramRun version = run(program.path, {QStringLiteral("--version")});
        EXPECT_EQ(version.exitCode, 0) << version.err.toStdString();
        EXPECT_EQ(version.out, QStringLiteral("%1 %2\n").arg(QLatin1String(program.name), QLatin1String(QEVA_VERSION)));

        const ProgramRun help = run(program.path, {QStringLiteral("--help")});
        EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
        EXPECT_TRUE(help.out.contains(QLatin1String("--version")));
        EXPECT_FALSE(help.out.contains(QLatin1String("-v, --version")));

        const ProgramRun shortV = run(program.path, {QStringLiteral("-v")});
        EXPECT_NE(shortV.exitCode, 0);
        EXPECT_FALSE(shortV.out.contains(QLatin1String(QEVA_VERSION)));
    }
}

// In qevactl -v is --verbose: the frame it sends shows on standard error.
TEST(ProgramVersionTest, ShortVIsVerboseInQevactl)
{
    const quint16 phonePort = freeUdpPort();
    const quint16 serverPort = freeUdpPort();
    ASSERT_TRUE(phonePort && serverPort);
    const QStringList args = {QStringLiteral("--bind"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"),
                              QString::number(phonePort), QStringLiteral("--server-port"), QString::number(serverPort),
                              QStringLiteral("--timeout"), QStringLiteral("0.2"), QStringLiteral("-s"),
                              QStringLiteral("127.0.0.1"), QStringLiteral("volume")};
    const ProgramRun quiet = run(QEVA_CTL_BIN, args);
    const ProgramRun verbose = run(QEVA_CTL_BIN, QStringList{QStringLiteral("-v")} + args);
    // Nobody answers on serverPort: both time out after sending their query.
    EXPECT_EQ(quiet.exitCode, 1) << quiet.err.toStdString();
    EXPECT_EQ(verbose.exitCode, 1) << verbose.err.toStdString();
    EXPECT_FALSE(quiet.err.contains(QLatin1String("414e4401"), Qt::CaseInsensitive)) << quiet.err.toStdString();
    EXPECT_TRUE(verbose.err.contains(QLatin1String("414e4401"), Qt::CaseInsensitive)) << verbose.err.toStdString();
}
