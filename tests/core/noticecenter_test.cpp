#include "core/noticecenter.h"
#include "core/scheduler.h"

#include <QObject>
#include <gtest/gtest.h>
#include <memory>

TEST(NoticeCenter, DeliversInOrderAndEndsWithTheSubscriber)
{
    NoticeCenter nc;
    QStringList got;
    QObject a, c;
    auto b = std::make_unique<QObject>();
    nc.subscribe(&a, QStringLiteral("n"), [&](const QVariant &o) { got << "a" + o.toString(); });
    nc.subscribe(b.get(), QStringLiteral("n"), [&](const QVariant &o) { got << "b" + o.toString(); });
    nc.subscribe(&c, QStringLiteral("other"), [&](const QVariant &) { got << "c"; });
    nc.post(QStringLiteral("n"), QStringLiteral("1"));
    EXPECT_EQ(got, (QStringList{QStringLiteral("a1"), QStringLiteral("b1")}));

    got.clear();
    b.reset();
    nc.post(QStringLiteral("n"), QStringLiteral("2"));
    EXPECT_EQ(got, QStringList{QStringLiteral("a2")});

    got.clear();
    nc.unsubscribe(&a, QStringLiteral("n"));
    nc.post(QStringLiteral("n"));
    nc.post(QStringLiteral("other"));
    EXPECT_EQ(got, QStringList{QStringLiteral("c")});
    EXPECT_EQ(nc.subscriberCount(QStringLiteral("n")), 0);
}

TEST(NoticeCenter, SubscribersMayChangeTheListWhileANoticeIsDelivered)
{
    NoticeCenter nc;
    QStringList got;
    QObject first, late;
    auto second = std::make_unique<QObject>();
    nc.subscribe(&first, QStringLiteral("n"), [&](const QVariant &) {
        got << "first";
        second.reset(); // a later subscriber goes away inside the post
        nc.subscribe(&late, QStringLiteral("n"), [&](const QVariant &) { got << "late"; });
    });
    nc.subscribe(second.get(), QStringLiteral("n"), [&](const QVariant &) { got << "second"; });
    nc.post(QStringLiteral("n"));
    EXPECT_EQ(got, QStringList{QStringLiteral("first")}); // neither the gone nor the new one
    got.clear();
    nc.unsubscribe(&first);
    nc.post(QStringLiteral("n"));
    EXPECT_EQ(got, QStringList{QStringLiteral("late")});
}

TEST(ManualScheduler, FiresInTimeOrderAndDropsTimersOfDeadContexts)
{
    ManualScheduler s;
    QStringList got;
    auto owner = std::make_unique<QObject>();
    s.after(300, nullptr, [&] { got << QStringLiteral("b@%1").arg(s.nowMs()); });
    s.after(100, nullptr, [&] { got << QStringLiteral("a@%1").arg(s.nowMs()); });
    const auto tick = s.every(80, nullptr, [&] { got << QStringLiteral("t@%1").arg(s.nowMs()); });
    s.after(200, owner.get(), [&] { got << QStringLiteral("dead"); });
    owner.reset();
    s.advance(299);
    EXPECT_EQ(got, (QStringList{"t@80", "a@100", "t@160", "t@240"}));
    s.cancel(tick);
    s.advance(1);
    EXPECT_EQ(got.last(), QStringLiteral("b@300"));
    EXPECT_EQ(s.pendingCount(), 0);
}

TEST(ManualScheduler, TimersAddedInsideACallbackFireInTheSameAdvanceWhenDue)
{
    ManualScheduler s;
    QStringList got;
    s.after(1000, nullptr, [&] {
        got << "first";
        s.after(500, nullptr, [&] { got << QStringLiteral("second@%1").arg(s.nowMs()); });
    });
    s.advance(1499);
    EXPECT_EQ(got, QStringList{"first"});
    s.advance(1);
    EXPECT_EQ(got.last(), QStringLiteral("second@1500"));
}
