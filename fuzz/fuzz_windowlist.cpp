// Feeds server-information replies to the window list of the settings
// menu while it waits for a server's new window count, as it does after
// adding or closing a window. The list reads the name and the count from
// the reply and the server's record from the store (a real database in a
// temporary folder, holding one server whose name the seeds carry).
#include "core/appcontext.h"
#include "fuzzinput.h"
#include "net/framesender.h"
#include "net/requestsender.h"
#include "protocol/hexcodec.h"
#include "screens/playback/windowsetviewcontroller.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/uikit.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

class NullSender : public FrameSender
{
public:
    void sendMessage(const QString &, const QString &, quint16, int, long) override {}
};

struct World
{
    World()
    {
        ContextConfig c;
        c.documentsDir = dir.path();
        c.preferencesFile = dir.filePath(QStringLiteral("preferences.ini"));
        c.manualClock = true;
        c.phoneAddress = QStringLiteral("127.0.0.1");
        ctx = std::make_unique<AppContext>(c);
        ctx->shared<RequestSender>().setSender(&sender);
        CommonManager::sharedManager().setCurrentPhoneIp(QStringLiteral("127.0.0.1"));
        // The server as discovery stored it: 大厅 with windows 01 and 02.
        FMManager::sharedManagerInstance().insertObjectByUserName(
            QStringLiteral("Default"), QStringLiteral("大厅"), QStringLiteral("468"), QStringLiteral("02"), QStringLiteral("2"),
            QStringLiteral("127.0.0.2"), QStringLiteral("0000abcd"), QStringLiteral("1"),
            QStringLiteral("01000000020100007f00000201"), QStringLiteral("0"));
        list = new WindowSetViewController;
        UiKit::shared().navigation().push(list);
    }

    // In memory where the system offers it: the store syncs every write.
    QTemporaryDir dir{QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/qeva-fuzz-XXXXXX")
                                                             : QDir::tempPath() + QStringLiteral("/qeva-fuzz-XXXXXX")};
    NullSender sender;
    std::unique_ptr<AppContext> ctx;
    WindowSetViewController *list = nullptr;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzApplication("fuzz_windowlist");
    static World world;

    FuzzRecords records(data, size);
    QList<QByteArray> replies;
    if (records.isOneFrame()) {
        replies << records.whole();
    } else {
        quint8 kind = 0;
        QByteArray datagram;
        while (records.next(kind, datagram))
            replies << datagram;
    }
    for (const QByteArray &reply : replies) {
        // Waiting for the count, as after closing the first window.
        if (!world.list->rows().isEmpty()) {
            world.list->didSelectRow(0);
            world.list->sendCloseNewWindow();
        }
        world.list->didReceiveShebeiInfoNotice(HexCodec::hexString(reply));
        // The records' window ids, whatever count the reply claims.
        DeviceInfo device;
        device.deviceInfo2 = HexCodec::hexString(reply).mid(12);
        WindowSetViewController::windowIds(device, int(reply.size() % 300));
    }
    world.ctx->manualScheduler()->advance(20000);
    return 0;
}
