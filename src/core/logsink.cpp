#include "core/logsink.h"

void LogSink::write(const QLoggingCategory &category, const QString &line, QtMsgType type)
{
    emitLogLine(category, line, type);
    m_lines.append(line);
    if (m_lines.size() > kKeep)
        m_lines.remove(0, m_lines.size() - kKeep);
}

bool LogSink::containsPrefix(const QString &prefix) const
{
    return countPrefix(prefix) > 0;
}

int LogSink::countPrefix(const QString &prefix) const
{
    int n = 0;
    for (const QString &l : m_lines)
        if (l.startsWith(prefix))
            ++n;
    return n;
}
