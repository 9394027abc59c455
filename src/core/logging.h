#pragma once

#include <QLoggingCategory>
#include <QString>

// One category per area, so a user can turn on qeva.net alone:
//   QT_LOGGING_RULES="qeva.*=false;qeva.net=true"
// Every category shows info and above unless told otherwise; the lines
// written per datagram or per frame are debug lines:
//   QT_LOGGING_RULES="qeva.net.debug=true"
//
// This file sits below every layer of the client (and the simulator links
// it too), so that the protocol layer can write its lines without knowing
// the client context.
Q_DECLARE_LOGGING_CATEGORY(lcProtocol)
Q_DECLARE_LOGGING_CATEGORY(lcNet)
Q_DECLARE_LOGGING_CATEGORY(lcSession)
Q_DECLARE_LOGGING_CATEGORY(lcStore)
Q_DECLARE_LOGGING_CATEGORY(lcUi)
Q_DECLARE_LOGGING_CATEGORY(lcScreens)
Q_DECLARE_LOGGING_CATEGORY(lcApp)

// The system's own log lines. Each is written to its category (when that
// shows the line's level) and, while a client context is alive, kept in
// that context's log as well (core/logsink.h), where tests read them.
void qevaLog(const QLoggingCategory &category, const QString &line);
// Takes a category as declared above: qevaLog(lcNet, ...).
inline void qevaLog(const QLoggingCategory &(*category)(), const QString &line) { qevaLog(category(), line); }
// The same for lines written per datagram or frame: shown only where the
// category's debug level is on.
void qevaDebug(const QLoggingCategory &category, const QString &line);
inline void qevaDebug(const QLoggingCategory &(*category)(), const QString &line) { qevaDebug(category(), line); }

// Writes a line to its category, if the category shows that level.
void emitLogLine(const QLoggingCategory &category, const QString &line, QtMsgType type);
// Takes every line instead of emitLogLine; says whether it did. The client
// context installs one that hands the lines to its log.
using LogLineHook = bool (*)(const QLoggingCategory &category, const QString &line, QtMsgType type);
void setLogLineHook(LogLineHook hook);
