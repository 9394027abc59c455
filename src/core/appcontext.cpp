#include "core/appcontext.h"

#include "core/logging.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {
AppContext *s_current = nullptr;

// The log lines of every layer go to the newest context's log.
bool toContextLog(const QLoggingCategory &category, const QString &line, QtMsgType type)
{
    if (!s_current)
        return false;
    s_current->log().write(category, line, type);
    return true;
}
} // namespace

AppContext::AppContext(ContextConfig config)
    : m_config(std::move(config))
{
    if (m_config.manualClock) {
        auto manual = std::make_unique<ManualScheduler>();
        m_manual = manual.get();
        m_scheduler = std::move(manual);
    } else {
        m_scheduler = std::make_unique<QtScheduler>();
    }
    if (m_config.documentsDir.isEmpty()) {
        m_config.documentsDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        if (m_config.documentsDir.isEmpty()) {
            m_ownDir = std::make_unique<QTemporaryDir>();
            m_config.documentsDir = m_ownDir->path();
        }
    }
    QDir().mkpath(m_config.documentsDir);
    if (m_config.preferencesFile.isEmpty())
        m_config.preferencesFile = QDir(m_config.documentsDir).filePath(QStringLiteral("preferences.ini"));
    m_previous = s_current;
    s_current = this;
    setLogLineHook(toContextLog);
}

AppContext::~AppContext()
{
    // Newest first: later objects may use earlier ones while they go.
    while (!m_shared.empty())
        m_shared.pop_back();
    if (s_current == this)
        s_current = m_previous;
}

AppContext *AppContext::current()
{
    return s_current;
}

Preferences &AppContext::preferences()
{
    if (!m_preferences)
        m_preferences = std::make_unique<Preferences>(m_config.preferencesFile, m_scheduler.get());
    return *m_preferences;
}

void *AppContext::find(const std::type_info &t)
{
    for (auto &[type, holder] : m_shared)
        if (type == std::type_index(t))
            return holder->get();
    return nullptr;
}

const void *AppContext::findConst(const std::type_info &t) const
{
    for (auto &[type, holder] : m_shared)
        if (type == std::type_index(t))
            return holder->get();
    return nullptr;
}
