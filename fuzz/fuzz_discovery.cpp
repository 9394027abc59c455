// Feeds datagrams to the phone's reply router with the discovery screen
// loaded: announcements (5001) are recorded in the real store, on a
// database in a temporary folder, and answered with the login; play states
// (5101) are recorded; 5003 returns to the screen. Each run starts from an
// empty database, as the screen's list does whenever it appears.
//
// Record kinds: bits 0-1 the sender (two servers, or the phone itself).
#include "core/appcontext.h"
#include "fuzzinput.h"
#include "net/framesender.h"
#include "net/replyrouter.h"
#include "net/requestsender.h"
#include "screens/discovery/scandeviceviewcontroller.h"
#include "session/commonmanager.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/uikit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// The login answers go nowhere.
class NullSender : public FrameSender
{
public:
    void sendMessage(const QString &, const QString &, quint16, int, long) override {}
};

// A fresh client per run, on a fresh database: a run's outcome depends on
// its input alone.
struct Client
{
    explicit Client(const QString &dir)
    {
        ContextConfig c;
        c.documentsDir = dir;
        c.preferencesFile = dir + QStringLiteral("/preferences.ini");
        c.manualClock = true;
        c.phoneAddress = QStringLiteral("127.0.0.1");
        ctx = std::make_unique<AppContext>(c);
        ctx->shared<RequestSender>().setSender(&sender);
        CommonManager::sharedManager().setCurrentPhoneIp(QStringLiteral("127.0.0.1"));
        CommonManager::sharedManager().currentSelectDev.deviceIp = QStringLiteral("127.0.0.2");
        auto *scan = new ScanDeviceViewController;
        scan->setUserName(QStringLiteral("fuzz"));
        UiKit::shared().navigation().push(scan);
    }

    NullSender sender;
    std::unique_ptr<AppContext> ctx;
};

const QString kHosts[] = {QStringLiteral("127.0.0.2"), QStringLiteral("127.0.0.9"), QStringLiteral("127.0.0.1"),
                          QStringLiteral("127.0.0.2")};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzApplication("fuzz_discovery");
    // In memory where the system offers it: the store syncs every write.
    static QTemporaryDir dir{QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/qeva-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/qeva-fuzz-XXXXXX")};
    {
        Client client(dir.path());
        FuzzRecords records(data, size);
        if (records.isOneFrame()) {
            ReplyRouter::shared().route(records.whole(), kHosts[0]);
        } else {
            quint8 kind = 0;
            QByteArray datagram;
            while (records.next(kind, datagram))
                ReplyRouter::shared().route(datagram, kHosts[kind & 0x03]);
        }
        // Whatever the replies started (pop-ups) runs its course.
        client.ctx->manualScheduler()->advance(20000);
    }
    for (const QString &file : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(dir.filePath(file));
    return 0;
}
