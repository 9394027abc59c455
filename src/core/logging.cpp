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
