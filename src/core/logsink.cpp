#include "core/logsink.h"

#include "core/appcontext.h"

void LogSink::write(const QLoggingCategory &category, const QString &line)
{
    if (category.isInfoEnabled())
        QMessageLogger(nullptr, 0, nullptr, category.categoryName()).info().noquote() << line;
    m_lines.append(line);
    if (m_lines.size() > kKeep)
        m_lines.remove(0, m_lines.size() - kKeep);
}

bool LogSink::containsPrefix(const QString &prefix) const
{
    for (const QString &l : m_lines)
        if (l.startsWith(prefix))
            return true;
    return false;
}

void qevaLog(const QLoggingCategory &category, const QString &line)
{
    if (AppContext *ctx = AppContext::current()) {
        ctx->log().write(category, line);
        return;
    }
    if (category.isInfoEnabled())
        QMessageLogger(nullptr, 0, nullptr, category.categoryName()).info().noquote() << line;
}
