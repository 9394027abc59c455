#pragma once

#include <QLoggingCategory>
#include <QString>
#include <QStringList>
#include <functional>

// Where the system's own log lines go. Every line is written to its Qt
// logging category (when that category shows its level) and kept in a short
// ring, so that tests can check the exact texts the client writes.
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

// Writes a line through the current context's sink (or straight to the
// category when there is no context, e.g. in a pure codec test).
void qevaLog(const QLoggingCategory &category, const QString &line);
// Takes a category as declared with Q_DECLARE_LOGGING_CATEGORY: qevaLog(lcNet, ...).
inline void qevaLog(const QLoggingCategory &(*category)(), const QString &line) { qevaLog(category(), line); }

// The same for lines written per datagram or frame: kept in the ring like
// any other, but shown only where the category's debug level is on.
void qevaDebug(const QLoggingCategory &category, const QString &line);
inline void qevaDebug(const QLoggingCategory &(*category)(), const QString &line) { qevaDebug(category(), line); }
