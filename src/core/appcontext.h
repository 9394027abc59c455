#pragma once

#include "core/logsink.h"
#include "core/noticecenter.h"
#include "core/preferences.h"
#include "core/scheduler.h"

#include <QHostAddress>
#include <QString>
#include <functional>
#include <memory>
#include <typeindex>
#include <vector>

// What one running client is configured with. The defaults are what a real
// deployment uses; tests and the demo set loopback values and free ports.
struct ContextConfig
{
    QHostAddress bindAddress = QHostAddress(QHostAddress::AnyIPv4); // the phone's sockets
    quint16 localPort = 5760;        // the phone's receiving port (announcements, replies)
    quint16 serverPort = 5760;       // a server's control port
    quint16 serverFilePort = 5761;   // a server's file stream port
    quint16 serverTimePort = 5762;   // a server's volume and time port
    QString multicastGroup = QStringLiteral("239.9.9.1");
    QString multicastInterface;      // interface name or address to join on; empty: the system's choice
    QString phoneAddress;            // overrides the address found on the interfaces
    QString documentsDir;            // where dataBase.db and received files live
    QString preferencesFile;         // the key-value preferences
    bool manualClock = false;        // tests: a ManualScheduler instead of Qt's timers
};

// The root of one client: its configuration, its clock, its notices, its
// preferences and log, and the process-wide objects (the UDP endpoint, the
// session state, the database, the file sender, the UI kit), each created
// on first use. It knows none of them: each layer keeps its own objects here
// by type (shared<T>()). The newest living context is the current one; the shared
// accessors (UdpSocketController::shareInstance() and friends) reach their
// object through it, so each test builds a fresh context and nothing leaks.
class AppContext
{
public:
    explicit AppContext(ContextConfig config = ContextConfig());
    ~AppContext();
    AppContext(const AppContext &) = delete;
    AppContext &operator=(const AppContext &) = delete;

    static AppContext *current();

    const ContextConfig &config() const { return m_config; }
    Scheduler &scheduler() { return *m_scheduler; }
    ManualScheduler *manualScheduler() { return m_manual; } // null unless manualClock
    NoticeCenter &notices() { return m_notices; }
    Preferences &preferences();
    LogSink &log() { return m_log; }

    // The shared object of type T, created with T(AppContext&) on first use
    // and destroyed with the context, newest first.
    template <typename T>
    T &shared()
    {
        if (void *p = find(typeid(T)))
            return *static_cast<T *>(p);
        auto holder = std::make_unique<Holder<T>>(*this);
        T *obj = holder->object.get();
        m_shared.push_back({std::type_index(typeid(T)), std::move(holder)});
        return *obj;
    }
    template <typename T>
    bool has() const { return findConst(typeid(T)) != nullptr; }

private:
    struct HolderBase { virtual ~HolderBase() = default; virtual void *get() = 0; };
    template <typename T>
    struct Holder : HolderBase {
        explicit Holder(AppContext &ctx) : object(std::make_unique<T>(ctx)) {}
        void *get() override { return object.get(); }
        std::unique_ptr<T> object;
    };
    void *find(const std::type_info &t);
    const void *findConst(const std::type_info &t) const;

    ContextConfig m_config;
    std::unique_ptr<Scheduler> m_scheduler;
    ManualScheduler *m_manual = nullptr;
    NoticeCenter m_notices;
    std::unique_ptr<Preferences> m_preferences;
    LogSink m_log;
    std::vector<std::pair<std::type_index, std::unique_ptr<HolderBase>>> m_shared;
    AppContext *m_previous = nullptr;
    std::unique_ptr<class QTemporaryDir> m_ownDir;
};
