#pragma once

#include "clicommand.h"

#include <QMap>
#include <QStringList>

// A parsed command line: option values by name (the last one given wins),
// flags, and the positional words in order. "--" ends the options; a word
// that starts with "-" and a digit is a positional (a number), not an option.
class CliOptions
{
public:
    // Parses args against the options. On an unknown option or a missing
    // value, error() says what is wrong.
    static CliOptions parse(const QStringList &args, const QList<CliOption> &options);

    bool isSet(const QString &name) const { return m_values.contains(name); }
    QString value(const QString &name, const QString &fallback = QString()) const
    {
        return m_values.value(name, fallback);
    }
    QStringList positionals() const { return m_positionals; }
    QString error() const { return m_error; }
    bool ok() const { return m_error.isEmpty(); }

private:
    QMap<QString, QString> m_values; // flags map to ""
    QStringList m_positionals;
    QString m_error;
};
