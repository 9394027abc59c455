#include "net/replyrouter.h"
#include "protocol/catalogue.h"
#include "protocol/hexcodec.h"
#include "session/commonmanager.h"
#include "support/testcontext.h"

#include <QObject>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

QByteArray bytes(const char *hex)
{
    return *HexCodec::hexStringToByteToNSData(QLatin1String(hex));
}

class RouterTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        ReplyRouter &r = ReplyRouter::shared();
        r.setServerInfoHandler(&m_owner, [this](const QString &h, const QString &host) { calls << "5001 " + host + " " + h; });
        r.setConnectionEndHandler(&m_owner, [this](const QString &h, const QString &host) { calls << "5003 " + host; });
        r.setPlayStateHandler(&m_owner, [this](const QString &h, const QString &host) { calls << "5101 " + host; });
        for (const ReplySpec *row : Catalogue::replies()) {
            if (*row->notice)
                ctx().notices().subscribe(&m_owner, QLatin1String(row->notice), [this, row](const QVariant &o) {
                    calls << QLatin1String(row->notice) + QLatin1Char(' ') + o.toString();
                });
        }
    }
    QObject m_owner;
    QStringList calls;
};

TEST_F(RouterTest, RoutesEachCodeAndFiltersOwnTrafficFromTheNoticesOnly)
{
    const QString self = QStringLiteral("127.0.0.1"), server = QStringLiteral("127.0.0.2");
    struct Case { const char *hex; bool fromSelf; QStringList expected; } cases[] = {
        {"414e44025001aabbccdd", false, {"5001 127.0.0.2 414e44025001aabbccdd"}},
        {"414e44025001aabbccdd", true, {"5001 127.0.0.1 414e44025001aabbccdd"}},
        {"414e44025003", true, {"5003 127.0.0.1"}},
        {"414e44025101010005", true, {"5101 127.0.0.1", "didReceivePlayListOrderNotice 414e44025101010005"}},
        {"414e4402550101", false, {"didReceiveSystemInfoNotice 414e4402550101"}},
        {"414e4402550101", true, {}},
        {"414e44025502", false, {"didReceiveClocoInfoNotice 414e44025502"}},
        {"414e44025503000f05", false, {"didReceiveSystemYinliangValueInfoNotice 414e44025503000f05"}},
        {"414e44025201", false, {"didReceiveWindowInfoNotice 414e44025201"}},
        {"414e44025401", false, {"didReceiveChabowenziInfoNotice 414e44025401"}},
        {"414e44025602", false, {"didReceiveTimePlayListInfoNotice 414e44025602"}},
        {"414e44025603", false, {"didReceiveTimePlayListFilesInfoNotice 414e44025603"}},
        {"414e44025604", false, {"didReceiveDeviceFilesInfoNotice 414e44025604"}},
        {"414e44025999", false, {}},       // unknown code
        {"414e44015501", false, {}},       // a request, not a reply
        {"414e440255", false, {}},         // under 6 bytes
        {"", false, {}},
    };
    for (const Case &c : cases) {
        calls.clear();
        ReplyRouter::shared().route(bytes(c.hex), c.fromSelf ? self : server);
        EXPECT_EQ(calls, c.expected) << c.hex << (c.fromSelf ? " from self" : "");
    }
}

TEST_F(RouterTest, UpperCaseBytesAreComparedInLowerCase)
{
    // Bytes have no case; the text the router builds is always lower case.
    ReplyRouter::shared().route(bytes("414E4402550AAB"), QStringLiteral("127.0.0.2"));
    calls.clear();
    ReplyRouter::shared().route(bytes("414E44025501AB"), QStringLiteral("127.0.0.2"));
    EXPECT_EQ(calls, QStringList{QStringLiteral("didReceiveSystemInfoNotice 414e44025501ab")});
}

TEST_F(RouterTest, BothSubscribersOfTheScreenGetTheWholeReply)
{
    QObject screen;
    QStringList got;
    ctx().notices().subscribe(&screen, QStringLiteral("didReceiveVedioPlayInfoNotice"), [&](const QVariant &o) { got << "play " + o.toString(); });
    ctx().notices().subscribe(&screen, QStringLiteral("didReceiveVedioListNoInfoNotice"), [&](const QVariant &o) { got << "count " + o.toString(); });
    ReplyRouter::shared().route(bytes("414e44025601ff00"), QStringLiteral("127.0.0.2"));
    ReplyRouter::shared().route(bytes("414e440256050003"), QStringLiteral("127.0.0.2"));
    EXPECT_EQ(got, (QStringList{QStringLiteral("play 414e44025601ff00"), QStringLiteral("count 414e440256050003")}));
}

TEST_F(RouterTest, HandlersEndWithTheirOwner)
{
    QStringList got;
    {
        QObject owner;
        ReplyRouter::shared().setServerInfoHandler(&owner, [&](const QString &, const QString &) { got << "x"; });
    }
    ReplyRouter::shared().route(bytes("414e44025001aabbccdd"), QStringLiteral("127.0.0.2"));
    EXPECT_TRUE(got.isEmpty());
}

TEST_F(RouterTest, RandomDatagramsNeverCrash)
{
    QRandomGenerator rng(20261209);
    for (int i = 0; i < 3000; ++i) {
        QByteArray d(int(rng.bounded(40)), '\0');
        for (char &b : d)
            b = char(rng.bounded(256));
        if (i % 3 == 0 && d.size() >= 6)
            d.replace(0, 4, QByteArray("AND\x02", 4)); // reach the code comparison
        ReplyRouter::shared().route(d, i % 2 ? QStringLiteral("127.0.0.1") : QStringLiteral("127.0.0.2"));
    }
    SUCCEED();
}

} // namespace
