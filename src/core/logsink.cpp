#include "core/logsink.h"

#include "core/appcontext.h"

namespace {
void emitLine(const QLoggingCategory &category, const QString &line, QtMsgType type)
{
    QMessageLogger logger(nullptr, 0, nullptr, category.categoryName());
    if (type == QtDebugMsg) {
        if (category.isDebugEnabled())
            logger.debug().noquote() << line;
    } else if (category.isInfoEnabled()) {
        logger.info().noquote() << line;
    }
}
}

void LogSink::write(const QLoggingCategory &category, const QString &line, QtMsgType type)
{
    emitLine(category, line, type);
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

void qevaLog(const QLoggingCategory &category, const QString &line)
{
    if (AppContext *ctx = AppContext::current()) {
        ctx->log().write(category, line);
        return;
    }
    emitLine(category, line, QtInfoMsg);
}

void qevaDebug(const QLoggingCategory &category, const QString &line)
{
    if (AppContext *ctx = AppContext::current()) {
        ctx->log().write(category, line, QtDebugMsg);
        return;
    }
    emitLine(category, line, QtDebugMsg);
}
