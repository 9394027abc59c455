#pragma once

#include <QLoggingCategory>

// One category per area, so a user can turn on qeva.net alone:
//   QT_LOGGING_RULES="qeva.*=false;qeva.net=true"
// Every category shows info and above unless told otherwise; the lines
// written per datagram or per frame are debug lines:
//   QT_LOGGING_RULES="qeva.net.debug=true"
Q_DECLARE_LOGGING_CATEGORY(lcProtocol)
Q_DECLARE_LOGGING_CATEGORY(lcNet)
Q_DECLARE_LOGGING_CATEGORY(lcSession)
Q_DECLARE_LOGGING_CATEGORY(lcStore)
Q_DECLARE_LOGGING_CATEGORY(lcUi)
Q_DECLARE_LOGGING_CATEGORY(lcScreens)
Q_DECLARE_LOGGING_CATEGORY(lcApp)
