#pragma once

#include "protocol/catalogue.h"
#include "protocol/hexcodec.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "support/testcontext.h"
#include "ui/alertcenter.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/popupcenter.h"

#include <memory>

// Replies as a server writes them, built by hand from their fields.
namespace Replies {
inline QString name16(const QByteArray &name)
{
    return HexCodec::TenToHex(name.size()) + HexCodec::hexString(name);
}
// A play-list entry (5601); more marks it as followed by others.
inline QString entry(int volume, int position, int checked, const QByteArray &path, bool more)
{
    return "414e44025601" + HexCodec::TenToHexForTwo(volume) + HexCodec::TenToHex(position) +
           HexCodec::TenToHexForTwo(checked) + name16(path) + (more ? "ff00" : "");
}
// A server file (5604).
inline QString file(const QByteArray &path, bool more)
{
    return "414e44025604" + name16(path) + (more ? "ff00" : "");
}
inline QString playState(const QString &window, int index)
{
    return "414e44025101" + window + HexCodec::TenToHex(index);
}
// A server-information reply (5001) with the given window records.
inline QString serverInfo(const QString &id, const QString &name, const QString &password, const QStringList &records)
{
    return "414e44025001" + id + name16(name.toUtf8()) + name16(password.toUtf8()) +
           HexCodec::TenToHexForTwo(records.size()) + records.join(QString()) + "7f000002";
}
} // namespace Replies

// A client that knows two servers, with the first one and its window 01
// selected, and a stack to open screens on.
class PlaybackScreenTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        addServer("一号服务器", "127.0.0.2", "00000001", {"01000000"});
        addServer("二号服务器", "127.0.0.3", "00000002", {"01020000", "02000000"});
        selectStored(0, "01");
    }
    void TearDown() override
    {
        m_nav.reset(); // screens go before their context
        ContextTest::TearDown();
    }

    static void addServer(const QString &name, const QString &ip, const QString &userId, const QStringList &records)
    {
        ASSERT_TRUE(FMManager::sharedManagerInstance().insertObjectByUserName(
            "Default", name, "468", HexCodec::TenToHexForTwo(records.size()), QString::number(records.size()), ip,
            userId, "1", records.join(QString()) + "7f000002", "0"));
    }
    // Selects a stored server the way the server list does.
    static void selectStored(int row, const QString &window)
    {
        CommonManager &cm = CommonManager::sharedManager();
        cm.currentSelectDev = FMManager::sharedManagerInstance().selectAllUserInfoDatas().value(row);
        cm.currentWindowID = window;
    }

    // Pushes the screen above a plain first screen, so that it can go back.
    template <class Screen>
    Screen *open()
    {
        if (!m_nav)
            m_nav = std::make_unique<KTBaseNavigationController>(new KTBaseViewController);
        auto *screen = new Screen;
        EXPECT_TRUE(m_nav->push(screen));
        return screen;
    }

    void post(const ReplySpec &reply, const QString &hex) { ctx().notices().post(QLatin1String(reply.notice), hex); }
    void post(const char *notice, const QString &hex) { ctx().notices().post(QLatin1String(notice), hex); }

    PopupCenter &popups() { return ctx().shared<PopupCenter>(); }
    AlertCenter &alerts() { return ctx().shared<AlertCenter>(); }
    QStringList sent() const { return m_recorder.hexes(); }
    QStringList takeSent()
    {
        const QStringList out = m_recorder.hexes();
        m_recorder.frames.clear();
        return out;
    }

    std::unique_ptr<KTBaseNavigationController> m_nav;
};
