#pragma once

#include <QList>
#include <QString>
#include <functional>

class CliCall;

// One option of the command line: "--name VALUE" (or a flag without a value).
struct CliOption
{
    QString name;      // without the dashes
    QString valueName; // empty: a flag
    QString help;
    QChar shortName;   // optional one-letter form
};

// One subcommand. Its run function checks its own arguments first (so that
// nothing goes out for a bad value), then reaches the servers through the
// call and returns the exit status.
struct CliCommand
{
    QString name;     // "volume", "settings set", "window add"
    QString synopsis; // the arguments after the name: "[N]"
    QString summary;  // one line for the command list
    QString details;  // the rest of its --help
    QList<CliOption> options;
    bool needsServer = true; // false: runs without --server / --all (scan)
    bool changes = false;    // a set command: a handed-over frame is its success
    bool usesWindow = true;  // false: acts on the server as a whole, --window aside
    std::function<int(CliCall &)> run;
};

// The usual way to write one down in a family file.
inline CliCommand cliCommand(const char *name, const char *synopsis, const char *summary, bool changes,
                             std::function<int(CliCall &)> run, const char *details = "",
                             const QList<CliOption> &options = {})
{
    CliCommand c;
    c.name = QString::fromUtf8(name);
    c.synopsis = QString::fromUtf8(synopsis);
    c.summary = QString::fromUtf8(summary);
    c.details = QString::fromUtf8(details);
    c.options = options;
    c.changes = changes;
    c.run = std::move(run);
    return c;
}

inline CliOption cliOption(const char *name, const char *valueName, const char *help)
{
    return CliOption{QString::fromUtf8(name), QString::fromUtf8(valueName), QString::fromUtf8(help), QChar()};
}

// The subcommands a run of the tool knows, in the order of its help.
class CliCommandRegistry
{
public:
    explicit CliCommandRegistry(QList<CliCommand> commands) : m_commands(std::move(commands)) {}

    const QList<CliCommand> &all() const { return m_commands; }
    const CliCommand *find(const QString &name) const;
    // The commands whose name starts with "group " (the subcommands of a group).
    QList<CliCommand> group(const QString &group) const;

private:
    QList<CliCommand> m_commands;
};
