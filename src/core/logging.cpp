#include "core/logging.h"

Q_LOGGING_CATEGORY(lcProtocol, "qeva.protocol")
Q_LOGGING_CATEGORY(lcNet, "qeva.net")
Q_LOGGING_CATEGORY(lcSession, "qeva.session")
Q_LOGGING_CATEGORY(lcStore, "qeva.store")
Q_LOGGING_CATEGORY(lcUi, "qeva.ui")
Q_LOGGING_CATEGORY(lcScreens, "qeva.screens")
Q_LOGGING_CATEGORY(lcApp, "qeva.app")
