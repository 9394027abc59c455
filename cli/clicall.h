#pragma once

#include "clicommand.h"
#include "clioptions.h"
#include "clisession.h"
#include "clitarget.h"

#include <QList>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class AppContext;
class QTextStream;

// What a command waits for after its request: one reply, or a list that
// the server sends one reply per item.
struct CliExpect
{
    QString what;        // "the volume query", for messages
    QStringList codes;   // 12-character reply codes that answer it
    // A list ends with the reply for which this holds; without it the
    // first reply is the whole answer.
    std::function<bool(const QString &reply)> isLast;
    // Some lists are not answered at all when empty. Then a server that
    // stays silent but answers the settings query has an empty list.
    bool silentWhenEmpty = false;
};

struct CliReplies
{
    QStringList replies; // the answering replies of one server, in order
    bool complete = false;
};

// Exit statuses a script can rely on.
namespace CliStatus {
constexpr int kOk = 0;
constexpr int kFailed = 1;   // a server did not answer or a frame could not be sent
constexpr int kUsage = 2;    // bad arguments; nothing was sent (to change a server that refused a value)
constexpr int kNoServer = 3; // no server answered the scan, or none of that name
} // namespace CliStatus

// One run of one command: its arguments, the servers it acts on, and the
// steps every command shares (asking with a time-out, handing over a set
// frame, printing one result per server).
class CliCall
{
public:
    struct Globals
    {
        bool all = false;
        bool json = false;
        int timeoutMs = 3000;
        int scanMs = 3000;
        QString server;      // address or name; empty with --all
        QString window;      // empty: each server's first window (01 when unknown)
        CliSession::Settings session;
    };

    CliCall(const CliCommand &command, const CliOptions &options, const QStringList &args, Globals globals,
            AppContext &ctx, QTextStream &out, QTextStream &err);
    ~CliCall();

    const CliCommand &command() const { return m_command; }
    QStringList args() const { return m_args; }
    bool isSet(const QString &option) const { return m_options.isSet(option); }
    QString value(const QString &option) const { return m_options.value(option); }
    const Globals &globals() const { return m_globals; }
    AppContext &context() { return m_ctx; }

    // Argument errors: print the message and the usage, give status 2.
    int usage(const QString &message);
    // A failure of the run as a whole (not of one server): printed as is.
    void fail(const QString &message);
    // Readers that print the usage error themselves and give nothing on a bad word.
    std::optional<qint64> number(const QString &word, const QString &what, qint64 min, qint64 max);
    std::optional<int> choice(const QString &word, const QString &what, const QStringList &names);
    std::optional<bool> onOff(const QString &word, const QString &what);
    // An option's value read the same way; nothing also when it is not set
    // (then ok stays true).
    std::optional<qint64> numberOption(const QString &option, qint64 min, qint64 max, bool &ok);

    // Opens the endpoint and finds the servers: by address at once, by name
    // or with --all through a scan. False (the status is set and the reason
    // printed) when there is nothing to act on.
    bool connect();
    int status() const { return m_status; }
    CliSession &session() { return *m_session; }
    QList<CliTarget> &targets() { return m_targets; }
    // A command that lists what it found rather than acting on servers
    // (scan) puts its rows here; they print like --all.
    void setTargets(const QList<CliTarget> &targets) { m_targets = targets; }
    // Waits (up to the scan time) for the announcement of every target not
    // seen yet and takes name and windows from it; fails those that stay silent.
    void awaitAnnouncements();

    // Makes the target the selected server and window of the session state,
    // where the builders address their frames.
    void select(const CliTarget &target);

    // For every target still in the running: select it, clear its inbox and
    // let send() build the request; then wait for all answers together up to
    // the time-out. Targets without a (complete) answer fail.
    QList<CliReplies> ask(const CliExpect &expect, const std::function<void(CliTarget &)> &send);
    // ask(), then read() for every target that answered, with its replies.
    void queryEach(const CliExpect &expect, const std::function<void(CliTarget &)> &send,
                   const std::function<void(CliTarget &, const QStringList &replies)> &read);
    // fn() for every target still in the running, with its index in targets().
    void eachRunning(const std::function<void(qsizetype index, CliTarget &)> &fn);
    // Where a target stands in targets(), for results kept per target.
    qsizetype indexOf(const CliTarget &target) const { return &target - m_targets.constData(); }
    // A set command for every target still in the running. send() calls the
    // builder and says whether it took the values; the target succeeds with
    // done when at least one frame was handed over for it.
    void hand(const QString &done, const std::function<bool(CliTarget &)> &send);

    // Prints the outcome (one line per server under --all or --json) and
    // gives the exit status.
    int finish();

private:
    void print(const CliTarget &t);
    QString label(const CliTarget &t) const;
    CliTarget targetFor(const CliServer &server) const;

    const CliCommand &m_command;
    CliOptions m_options;
    QStringList m_args;
    Globals m_globals;
    AppContext &m_ctx;
    QTextStream &m_out;
    QTextStream &m_err;
    std::unique_ptr<CliSession> m_session;
    QList<CliTarget> m_targets;
    int m_status = CliStatus::kOk;
};
