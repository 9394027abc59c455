#include "core/logging.h"

// Info and above by default: a user sees what the client does, not every
// frame. Per-frame lines are debug lines, shown only when asked for
// (QT_LOGGING_RULES="qeva.net.debug=true").
Q_LOGGING_CATEGORY(lcProtocol, "qeva.protocol", QtInfoMsg)
Q_LOGGING_CATEGORY(lcNet, "qeva.net", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSession, "qeva.session", QtInfoMsg)
Q_LOGGING_CATEGORY(lcStore, "qeva.store", QtInfoMsg)
Q_LOGGING_CATEGORY(lcUi, "qeva.ui", QtInfoMsg)
Q_LOGGING_CATEGORY(lcScreens, "qeva.screens", QtInfoMsg)
Q_LOGGING_CATEGORY(lcApp, "qeva.app", QtInfoMsg)

namespace {
LogLineHook s_hook = nullptr;

void write(const QLoggingCategory &category, const QString &line, QtMsgType type)
{
    if (!s_hook || !s_hook(category, line, type))
        emitLogLine(category, line, type);
}
} // namespace

void emitLogLine(const QLoggingCategory &category, const QString &line, QtMsgType type)
{
    QMessageLogger logger(nullptr, 0, nullptr, category.categoryName());
    if (type == QtDebugMsg) {
        if (category.isDebugEnabled())
            logger.debug().noquote() << line;
    } else if (category.isInfoEnabled()) {
        logger.info().noquote() << line;
    }
}

void setLogLineHook(LogLineHook hook)
{
    s_hook = hook;
}

void qevaLog(const QLoggingCategory &category, const QString &line)
{
    write(category, line, QtInfoMsg);
}

void qevaDebug(const QLoggingCategory &category, const QString &line)
{
    write(category, line, QtDebugMsg);
}
