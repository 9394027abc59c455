#pragma once

#include "core/logging.h"

#include <QLoggingCategory>
#include <QString>
#include <QStringList>

// Where the system's own log lines go while a client context is alive
// (qevaLog and qevaDebug, core/logging.h). Every line is written to its Qt
// logging category (when that category shows its level) and kept in a
// short ring, so that tests can check the exact texts the client writes.
class LogSink
{
public:
    void write(const QLoggingCategory &category, const QString &line, QtMsgType type = QtInfoMsg);

    QStringList lines() const { return m_lines; }
    bool contains(const QString &line) const { return m_lines.contains(line); }
    bool containsPrefix(const QString &prefix) const;
    int countPrefix(const QString &prefix) const;
    void clear() { m_lines.clear(); }

private:
    static constexpr int kKeep = 2000;
    QStringList m_lines;
};
