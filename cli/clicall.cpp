#include "clicall.h"

#include "clivalue.h"
#include "core/appcontext.h"
#include "core/logescape.h"
#include "net/qvmethodlib.h"
#include "protocol/catalogue.h"
#include "protocol/settingscommands.h"
#include "session/commonmanager.h"

#include <QHostAddress>
#include <QJsonDocument>
#include <QTextStream>

namespace {
QString seconds(int ms)
{
    return QStringLiteral("%1 s").arg(ms / 1000.0);
}

bool isAddress(const QString &text)
{
    QHostAddress a;
    return a.setAddress(text) && a.protocol() == QAbstractSocket::IPv4Protocol;
}

// One value of a line-per-server output. Names and texts come from the
// servers: a newline in one must not start a forged line of its own.
QString quoted(const QString &text)
{
    QString t = LogEscape::text(text, -1);
    if (!t.isEmpty() && t == text && !t.contains(QLatin1Char(' ')) && !t.contains(QLatin1Char('"')))
        return t;
    t.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}
}

CliCall::CliCall(const CliCommand &command, const CliOptions &options, const QStringList &args, Globals globals,
                 AppContext &ctx, QTextStream &out, QTextStream &err)
    : m_command(command)
    , m_options(options)
    , m_args(args)
    , m_globals(std::move(globals))
    , m_ctx(ctx)
    , m_out(out)
    , m_err(err)
{
}

CliCall::~CliCall() = default;

int CliCall::usage(const QString &message)
{
    m_err << "qevactl " << m_command.name << ": " << message << "\n"
          << "Usage: qevactl " << m_command.name << (m_command.synopsis.isEmpty() ? "" : " ") << m_command.synopsis
          << "\nTry 'qevactl " << m_command.name << " --help'.\n";
    m_err.flush();
    m_status = CliStatus::kUsage;
    return m_status;
}

void CliCall::fail(const QString &message)
{
    m_err << "qevactl: " << message << "\n";
    m_err.flush();
}

std::optional<qint64> CliCall::number(const QString &word, const QString &what, qint64 min, qint64 max)
{
    const auto v = CliValue::integer(word, min, max);
    if (!v)
        usage(QStringLiteral("%1 must be a whole number from %2 to %3, not \"%4\"").arg(what).arg(min).arg(max).arg(word));
    return v;
}

std::optional<int> CliCall::choice(const QString &word, const QString &what, const QStringList &names)
{
    const auto v = CliValue::choice(word, names);
    if (!v)
        usage(QStringLiteral("%1 must be one of %2, not \"%3\"").arg(what, names.join(QLatin1String(", ")), word));
    return v;
}

std::optional<bool> CliCall::onOff(const QString &word, const QString &what)
{
    const auto v = CliValue::onOff(word);
    if (!v)
        usage(QStringLiteral("%1 must be on or off, not \"%2\"").arg(what, word));
    return v;
}

std::optional<qint64> CliCall::numberOption(const QString &option, qint64 min, qint64 max, bool &ok)
{
    if (!isSet(option))
        return std::nullopt;
    const auto v = number(value(option), QStringLiteral("--") + option, min, max);
    if (!v)
        ok = false;
    return v;
}

CliTarget CliCall::targetFor(const CliServer &server) const
{
    CliTarget t;
    t.device = server.device;
    t.seen = true;
    const QStringList windows = server.device.windowIds();
    t.window = !m_globals.window.isEmpty() ? m_globals.window
                                           : (windows.isEmpty() ? QStringLiteral("01") : windows.first());
    if (server.locked)
        t.fail(QStringLiteral("locked: the password does not match"));
    // The announcement lists the windows: a window it lacks would only read
    // as an empty one.
    else if (m_command.usesWindow && !m_globals.window.isEmpty() && !windows.contains(m_globals.window))
        t.refuse(QStringLiteral("has no window %1 (its windows: %2)")
                     .arg(m_globals.window, windows.isEmpty() ? QStringLiteral("none") : windows.join(QLatin1Char(','))));
    return t;
}

bool CliCall::connect()
{
    m_session = std::make_unique<CliSession>(m_ctx, m_globals.session);
    if (!m_session->start()) {
        const ContextConfig &c = m_ctx.config();
        m_err << "qevactl: cannot listen on " << c.bindAddress.toString() << ":" << c.localPort << ": "
              << m_session->startError() << " (see --port and --bind)\n";
        m_err.flush();
        m_status = CliStatus::kFailed;
        return false;
    }
    if (!m_command.needsServer)
        return true;

    if (m_globals.all) {
        m_session->wait(m_globals.scanMs);
        for (const CliServer &s : m_session->servers())
            m_targets.append(targetFor(s));
        if (m_targets.isEmpty()) {
            m_err << "qevactl: no server answered within " << seconds(m_globals.scanMs) << "\n";
            if (const QString why = m_session->groupWarning(); !why.isEmpty())
                m_err << "qevactl: " << why << "\n";
            m_err.flush();
            m_status = CliStatus::kNoServer;
            return false;
        }
        return true;
    }

    const QString wanted = m_globals.server;
    if (isAddress(wanted)) {
        CliTarget t;
        t.device.deviceIp = QHostAddress(wanted).toString();
        t.window = m_globals.window.isEmpty() ? QStringLiteral("01") : m_globals.window;
        m_targets.append(t);
        return true;
    }
    const auto named = [&]() -> const CliServer * {
        for (const CliServer &s : m_session->servers())
            if (s.device.deviceName == wanted)
                return &s;
        return nullptr;
    };
    m_session->wait(m_globals.scanMs, [&] { return named() != nullptr; });
    if (const CliServer *s = named()) {
        m_targets.append(targetFor(*s));
        return true;
    }
    m_err << "qevactl: no server named \"" << wanted << "\" answered within " << seconds(m_globals.scanMs) << "\n";
    if (const QString why = m_session->groupWarning(); !why.isEmpty())
        m_err << "qevactl: " << why << "\n";
    m_err.flush();
    m_status = CliStatus::kNoServer;
    return false;
}

void CliCall::awaitAnnouncements()
{
    const auto allSeen = [this] {
        for (const CliTarget &t : m_targets)
            if (!t.seen && !m_session->server(t.address()))
                return false;
        return true;
    };
    m_session->wait(m_globals.scanMs, allSeen);
    for (CliTarget &t : m_targets) {
        if (t.seen)
            continue;
        const CliServer *s = m_session->server(t.address());
        if (!s) {
            t.fail(QStringLiteral("no announcement within %1").arg(seconds(m_globals.scanMs)));
            continue;
        }
        const CliTarget found = targetFor(*s);
        t.device = found.device;
        t.seen = true;
        if (m_globals.window.isEmpty())
            t.window = found.window;
        t.failLike(found);
    }
}

void CliCall::select(const CliTarget &target)
{
    CommonManager &session = CommonManager::sharedManager();
    session.currentSelectDev = target.device;
    session.currentWindowID = target.window;
}

QList<CliReplies> CliCall::ask(const CliExpect &expect, const std::function<void(CliTarget &)> &send)
{
    QList<CliReplies> out(m_targets.size());
    QList<bool> asked(m_targets.size(), false);
    for (qsizetype i = 0; i < m_targets.size(); ++i) {
        CliTarget &t = m_targets[i];
        if (t.failed())
            continue;
        select(t);
        m_session->clearInbox(t.address());
        const int before = m_session->framesTo(t.address());
        send(t);
        if (m_session->framesTo(t.address()) == before) {
            const QString why = m_session->sendError(t.address());
            t.fail(QStringLiteral("%1 could not be sent%2").arg(expect.what, why.isEmpty() ? QString() : QStringLiteral(": ") + why));
            continue;
        }
        asked[i] = true;
    }

    // Takes what each server has answered so far; says whether all are complete.
    const auto collect = [&] {
        bool all = true;
        for (qsizetype i = 0; i < m_targets.size(); ++i) {
            if (!asked[i])
                continue;
            CliReplies &r = out[i];
            r.replies.clear();
            r.complete = false;
            for (const QString &reply : m_session->inbox(m_targets[i].address())) {
                if (!expect.codes.contains(reply.left(12)))
                    continue;
                r.replies.append(reply);
                if (!expect.isLast || expect.isLast(reply)) {
                    r.complete = true;
                    break;
                }
            }
            all = all && r.complete;
        }
        return all;
    };
    m_session->wait(m_globals.timeoutMs, collect);
    collect();

    if (expect.silentWhenEmpty) {
        // Silence is an empty list only from a server that is there.
        const QString probeCode = QLatin1String(Catalogue::kSystemInfoReply.codeText);
        QList<qsizetype> silent;
        for (qsizetype i = 0; i < m_targets.size(); ++i) {
            if (!asked[i] || !out[i].replies.isEmpty())
                continue;
            select(m_targets[i]);
            m_session->clearInbox(m_targets[i].address());
            QVmethodLib::sendSystemSetInitializeInfo();
            silent << i;
        }
        const auto answered = [&](qsizetype i) {
            const QStringList inbox = m_session->inbox(m_targets[i].address());
            return std::any_of(inbox.cbegin(), inbox.cend(), [&](const QString &r) { return r.startsWith(probeCode); });
        };
        m_session->wait(m_globals.timeoutMs, [&] { return std::all_of(silent.cbegin(), silent.cend(), answered); });
        for (qsizetype i : silent)
            out[i].complete = answered(i);
    }

    for (qsizetype i = 0; i < m_targets.size(); ++i) {
        if (!asked[i] || out[i].complete)
            continue;
        if (out[i].replies.isEmpty())
            m_targets[i].fail(QStringLiteral("no reply to %1 within %2").arg(expect.what, seconds(m_globals.timeoutMs)));
        else
            m_targets[i].fail(QStringLiteral("the answer to %1 did not end within %2 (%3 received)")
                                  .arg(expect.what, seconds(m_globals.timeoutMs))
                                  .arg(out[i].replies.size()));
    }
    return out;
}

void CliCall::queryEach(const CliExpect &expect, const std::function<void(CliTarget &)> &send,
                        const std::function<void(CliTarget &, const QStringList &replies)> &read)
{
    const QList<CliReplies> replies = ask(expect, send);
    eachRunning([&](qsizetype i, CliTarget &t) { read(t, replies[i].replies); });
}

void CliCall::eachRunning(const std::function<void(qsizetype index, CliTarget &)> &fn)
{
    for (qsizetype i = 0; i < m_targets.size(); ++i) {
        if (!m_targets[i].failed())
            fn(i, m_targets[i]);
    }
}

void CliCall::hand(const QString &done, const std::function<bool(CliTarget &)> &send)
{
    for (CliTarget &t : m_targets) {
        if (t.failed())
            continue;
        select(t);
        const int before = m_session->framesTo(t.address());
        const bool took = send(t);
        if (t.failed())
            continue;
        const QString why = m_session->sendError(t.address());
        if (took && m_session->framesTo(t.address()) == before && !why.isEmpty())
            t.fail(QStringLiteral("not sent: %1").arg(why));
        else if (!took || m_session->framesTo(t.address()) == before)
            t.fail(QStringLiteral("not sent: the values do not fit the frame"));
        else
            t.succeed(done);
    }
}

QString CliCall::label(const CliTarget &t) const
{
    return t.name().isEmpty() ? t.address() : QStringLiteral("%1 (%2)").arg(t.address(), t.name());
}

void CliCall::print(const CliTarget &t)
{
    if (m_globals.json) {
        // The server's own keys live under "server", so that a record may
        // have a name or an address of its own.
        QJsonObject o = t.json;
        o.insert(QStringLiteral("server"), QJsonObject{{QStringLiteral("address"), t.address()},
                                                       {QStringLiteral("name"), t.name()},
                                                       {QStringLiteral("window"), t.window}});
        o.insert(QStringLiteral("ok"), !t.failed());
        if (t.failed())
            o.insert(QStringLiteral("error"), t.error);
        else if (!t.summary.isEmpty())
            o.insert(QStringLiteral("result"), t.summary);
        m_out << QJsonDocument(o).toJson(QJsonDocument::Compact) << "\n";
        return;
    }
    if (m_globals.all || !m_command.needsServer) {
        QString text;
        if (t.failed()) {
            text = QStringLiteral("FAILED ") + LogEscape::line(t.error);
        } else {
            QStringList parts;
            if (!t.summary.isEmpty())
                parts << t.summary;
            for (const auto &[key, value] : t.fields)
                parts << key + QLatin1Char('=') + quoted(value);
            text = QStringLiteral("ok ") + parts.join(QLatin1Char(' '));
        }
        m_out << t.address() << ' ' << quoted(t.name().isEmpty() ? QStringLiteral("-") : t.name()) << ' '
              << text.trimmed() << "\n";
        return;
    }
    if (t.failed()) {
        m_err << "qevactl: " << LogEscape::text(label(t)) << ": " << LogEscape::line(t.error) << "\n";
        return;
    }
    // A set command says what went out; a query's summary is for --all only.
    if (m_command.changes && !t.summary.isEmpty())
        m_out << t.summary << "\n";
    qsizetype width = 0;
    for (const auto &[key, value] : t.fields)
        width = std::max(width, key.size());
    for (const auto &[key, value] : t.fields)
        m_out << (key + QLatin1Char(':')).leftJustified(width + 2) << LogEscape::line(value) << "\n";
    for (const QString &line : t.lines)
        m_out << LogEscape::line(line) << "\n";
    if (!m_command.changes && t.fields.isEmpty() && t.lines.isEmpty() && !t.summary.isEmpty())
        m_out << t.summary << "\n";
}

int CliCall::finish()
{
    bool anyFailed = false;
    bool anyRefused = false;
    for (CliTarget &t : m_targets) {
        if (t.pending())
            t.fail(QStringLiteral("nothing was done"));
        anyRefused = anyRefused || t.refused();
        anyFailed = anyFailed || (t.failed() && !t.refused());
        print(t);
    }
    m_out.flush();
    m_err.flush();
    // A server that did not answer outweighs a value one of them refused.
    m_status = anyFailed ? CliStatus::kFailed : anyRefused ? CliStatus::kUsage : CliStatus::kOk;
    return m_status;
}
