// Feeds arbitrary datagrams to the reply router and to every reply parser.
#include "core/appcontext.h"
#include "net/qvmethodlib.h"
#include "net/replyrouter.h"
#include "protocol/catalogue.h"
#include "protocol/hexcodec.h"
#include "protocol/overlaycommands.h"
#include "protocol/playlistcommands.h"
#include "protocol/settingscommands.h"
#include "protocol/timedplaycommands.h"
#include "protocol/windowcommands.h"
#include "session/commonmanager.h"

#include <QCoreApplication>
#include <QObject>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <vector>

namespace {

struct World
{
    World()
    {
        ContextConfig c;
        c.documentsDir = dir.path();
        c.manualClock = true;
        c.phoneAddress = QStringLiteral("127.0.0.1");
        ctx = new AppContext(c);
        CommonManager::sharedManager().setCurrentPhoneIp(QStringLiteral("127.0.0.1"));
        CommonManager::sharedManager().currentSelectDev.deviceIp = QStringLiteral("127.0.0.2");
        ReplyRouter &router = ReplyRouter::shared();
        router.setServerInfoHandler(&owner, [](const QString &, const QString &) {});
        router.setConnectionEndHandler(&owner, [](const QString &, const QString &) {});
        router.setPlayStateHandler(&owner, [](const QString &, const QString &) {});
        // Every parser sees every reply text, whatever its code.
        for (const ReplySpec *row : Catalogue::replies())
            if (*row->notice)
                ctx->notices().subscribe(&owner, QLatin1String(row->notice), [](const QVariant &o) { parseAll(o.toString()); });
    }
    static void parseAll(const QString &hex)
    {
        for (const auto &parser : parsers())
            parser(hex);
    }
    static std::vector<std::function<void(const QString &)>> &parsers();

    QTemporaryDir dir;
    AppContext *ctx = nullptr;
    QObject owner;
};

std::vector<std::function<void(const QString &)>> &World::parsers()
{
    static std::vector<std::function<void(const QString &)>> all{
        [](const QString &hex) { HexCodec::stringFromHexString(hex); },
        [](const QString &hex) { OverlayCommands::getSpotWordsInitInfoWithModelNotice(hex); },
        [](const QString &hex) { OverlayCommands::getClockSetInitInfoWithModelNotice(hex); },
        [](const QString &hex) { SettingsCommands::getSystemInitInfoWithModelNotice(hex); },
        [](const QString &hex) { SettingsCommands::getSystemYinliangValueWithModelNotice(hex); },
        [](const QString &hex) { TimedPlayCommands::getReceiveTimePlayListInfoNotice(hex); },
        [](const QString &hex) { TimedPlayCommands::getTimePlayListFilesInfoWithModelNotice(hex); },
        [](const QString &hex) { WindowCommands::getPlayWindowInitInfoWithModelNotice(hex); },
        [](const QString &hex) { PlayListCommands::getPlayControlListInfoWithModelNotice(hex); },
        [](const QString &hex) { QVmethodLib::getPlayControlIndexInfoWithModelNotice(hex); },
        [](const QString &hex) { PlayListCommands::getDeviceFilesListInfoWithModelNotice(hex); },
    };
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_replies";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static World world;

    const QByteArray datagram(reinterpret_cast<const char *>(data), int(size));
    ReplyRouter::shared().route(datagram, size % 2 ? QStringLiteral("127.0.0.1") : QStringLiteral("127.0.0.2"));
    // The same bytes behind a valid reply envelope reach the parsers too.
    World::parseAll(QStringLiteral("414e4402") + HexCodec::hexString(datagram));
    return 0;
}
