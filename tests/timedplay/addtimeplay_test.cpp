#include "protocol/catalogue.h"
#include "screenfixture.h"
#include "screens/timedplay/addtimeplayviewcontroller.h"
#include "screens/timedplay/timingplayviewcontroller.h"
#include "timedplayfixtures.h"

#include <gtest/gtest.h>

namespace {

const char *kListNotice = Catalogue::kTimePlayListReply.notice;

class AddTimePlayTest : public TimedPlayScreenTest
{
protected:
    AddTimePlayViewController *open()
    {
        m_list = push(new AddTimePlayViewController);
        return m_list;
    }
    // The schemes as one reply sequence, ids and names given.
    void answer(const QList<std::pair<QString, QString>> &schemes)
    {
        for (qsizetype i = 0; i < schemes.size(); ++i)
            post(kListNotice, schemeReplyHex(namedScheme(schemes.at(i).first, schemes.at(i).second), i + 1 < schemes.size()));
    }
    QStringList names() const
    {
        QStringList out;
        for (const QVariant &v : m_list->dataSource())
            out << v.toMap().value("projectName").toString();
        return out;
    }
    QStringList chosenNames() const
    {
        QStringList out;
        for (const QVariant &v : m_list->choosePlayArray())
            out << v.toMap().value("projectName").toString();
        return out;
    }
    QStringList ticks() const
    {
        QStringList out;
        for (const QVariant &v : m_list->dataSource())
            out << v.toMap().value("checked").toString();
        return out;
    }
    AddTimePlayViewController *m_list = nullptr;
};

TEST_F(AddTimePlayTest, ListIsAskedForOnEveryAppearanceAndShownWhenTheSequenceEnds)
{
    open();
    EXPECT_EQ(m_list->title(), QStringLiteral("定时播放方案列表"));
    ASSERT_EQ(m_recorder.frames.size(), 1);
    EXPECT_EQ(m_recorder.frames.first().hex, QStringLiteral("414e44015301017f000001"));
    EXPECT_EQ(m_recorder.frames.first().timeoutSec, 10);

    post(kListNotice, schemeReplyHex(namedScheme("01", "早间"), true));
    post(kListNotice, schemeReplyHex(namedScheme("02", "午间"), true));
    EXPECT_TRUE(m_list->dataSource().isEmpty()) << "nothing is shown before the last reply";
    // An unreadable reply is left out but still ends the sequence.
    post(kListNotice, QStringLiteral("414e440256020103"));
    EXPECT_EQ(names(), QStringList({"早间", "午间"}));
    EXPECT_EQ(ticks(), QStringList({"NO", "NO"}));

    // Back from the settings: asked again, and the new list replaces the old.
    push(new KTBaseViewController);
    m_nav->pop();
    EXPECT_EQ(m_recorder.frames.size(), 2);
    answer({{"01", "早间"}});
    EXPECT_EQ(names(), QStringList({"早间"}));
}

TEST_F(AddTimePlayTest, RefreshShowsProgressUntilTheListOrTenSeconds)
{
    open();
    m_list->clickedBarButtonItemActionWithTag(AddTimePlayViewController::RefreshTag);
    EXPECT_EQ(m_recorder.frames.size(), 2);
    EXPECT_TRUE(popups().isProgressVisible());
    EXPECT_EQ(popups().text(), QStringLiteral("文件列表获取中,请稍后!!!"));
    answer({{"01", "a"}, {"02", "b"}});
    EXPECT_FALSE(popups().isProgressVisible());

    // No answer: the pop-up goes by itself, the list stays as it was.
    m_list->clickedBarButtonItemActionWithTag(AddTimePlayViewController::RefreshTag);
    clock().advance(9999);
    EXPECT_TRUE(popups().isProgressVisible());
    clock().advance(1);
    EXPECT_FALSE(popups().isProgressVisible());
    EXPECT_EQ(names(), QStringList({"a", "b"}));
}

TEST_F(AddTimePlayTest, AddProposesTheNextFreeSchemeId)
{
    struct Case
    {
        const char *name;
        QStringList listed;
        QString proposed;
    };
    const QList<Case> cases{
        {"no schemes", {}, "01"},
        {"three schemes", {"01", "02", "03"}, "04"},
        {"ids with a gap: count + 1 is free", {"01", "05"}, "03"},
        {"count + 1 already taken: it would be overwritten", {"02", "03", "04"}, "05"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        open();
        QList<std::pair<QString, QString>> schemes;
        for (const QString &id : c.listed)
            schemes.append({id, QStringLiteral("s") + id});
        answer(schemes);
        session().isAddTimeProject = true;

        m_list->buttonAction(AddTimePlayViewController::AddTag);
        auto *settings = top<TimingPlayViewController>();
        ASSERT_NE(settings, nullptr);
        EXPECT_EQ(settings->chooseDict(), (QVariantMap{{"state", "0"}, {"projectIDHex", c.proposed}}));
        EXPECT_EQ(settings->windowID(), QStringLiteral("01"));
        EXPECT_FALSE(session().isAddTimeProject);
        m_nav->popToRoot();
        flushDeletes();
    }
}

TEST_F(AddTimePlayTest, ModifyEditsTheSchemeTickedFirst)
{
    open();
    m_list->buttonAction(AddTimePlayViewController::ModifyTag);
    EXPECT_TRUE(errorShown("请选择需要修改的方案"));
    EXPECT_EQ(m_nav->top(), m_list);

    answer({{"01", "早间"}, {"02", "午间"}, {"03", "晚间"}});
    m_list->didSelectRow(2);
    m_list->didSelectRow(0);
    EXPECT_EQ(ticks(), QStringList({"YES", "NO", "YES"}));
    EXPECT_EQ(chosenNames(), QStringList({"晚间", "早间"}));

    m_list->buttonAction(AddTimePlayViewController::ModifyTag);
    auto *settings = top<TimingPlayViewController>();
    ASSERT_NE(settings, nullptr);
    EXPECT_TRUE(session().isAddTimeProject);
    EXPECT_EQ(settings->chooseDict().value("projectName").toString(), QStringLiteral("晚间"));
    EXPECT_EQ(settings->chooseDict().value("projectIDHex").toString(), QStringLiteral("03"));
    EXPECT_EQ(settings->chooseDict().value("state").toString(), QStringLiteral("1"));
    EXPECT_TRUE(settings->chooseDict().contains("wordsDict"));
}

TEST_F(AddTimePlayTest, DeleteSendsNothingAndSaysTheServerCannotDoIt)
{
    open();
    answer({{"01", "早间"}, {"02", "午间"}});
    const int sent = int(m_recorder.frames.size());

    m_list->buttonAction(AddTimePlayViewController::DeleteTag);
    EXPECT_TRUE(errorShown("请选择需要删除的方案"));

    m_list->didSelectRow(1);
    m_list->buttonAction(AddTimePlayViewController::DeleteTag);
    EXPECT_TRUE(errorShown("服务器不支持从客户端删除方案"));
    EXPECT_FALSE(popups().wasShown(PopupCenter::Success, "设置成功"));
    EXPECT_EQ(m_recorder.frames.size(), sent);
    EXPECT_EQ(names(), QStringList({"早间", "午间"}));
    EXPECT_EQ(m_nav->top(), m_list);
}

TEST_F(AddTimePlayTest, SelectAllChoosesRowsInViewFirstAndTicksEveryRow)
{
    open();
    answer({{"01", "a"}, {"02", "b"}, {"03", "c"}, {"04", "d"}});
    m_list->setVisibleRows(1, 2);

    m_list->clickedBarButtonItemActionWithTag(AddTimePlayViewController::SelectAllTag);
    EXPECT_TRUE(m_list->isAllSelected());
    EXPECT_EQ(ticks(), QStringList({"YES", "YES", "YES", "YES"}));
    EXPECT_EQ(chosenNames(), QStringList({"b", "c", "a", "d"}));

    // A row untapped and tapped again goes to the end, once.
    m_list->didSelectRow(1);
    m_list->didSelectRow(1);
    EXPECT_EQ(chosenNames(), QStringList({"c", "a", "d", "b"}));

    m_list->clickedBarButtonItemActionWithTag(AddTimePlayViewController::SelectAllTag);
    EXPECT_FALSE(m_list->isAllSelected());
    EXPECT_EQ(ticks(), QStringList({"NO", "NO", "NO", "NO"}));
    EXPECT_TRUE(m_list->choosePlayArray().isEmpty());

    // The footer: its buttons (source 5) act as the screen's own; any other
    // source selects all (tag 1) or none.
    m_list->clickedCellButtonWith(0, 1);
    EXPECT_EQ(m_list->chosenCount(), 4);
    m_list->clickedCellButtonWith(0, 0);
    EXPECT_EQ(m_list->chosenCount(), 0);
    m_list->clickedCellButtonWith(AddTimePlayViewController::kFooterSource, AddTimePlayViewController::ModifyTag);
    EXPECT_TRUE(errorShown("请选择需要修改的方案"));
}

TEST_F(AddTimePlayTest, ANewListDropsTheEarlierChoice)
{
    open();
    answer({{"01", "a"}, {"02", "b"}});
    m_list->didSelectRow(0);
    m_list->clickedBarButtonItemActionWithTag(AddTimePlayViewController::RefreshTag);
    answer({{"01", "a"}, {"02", "b"}});
    EXPECT_EQ(ticks(), QStringList({"NO", "NO"}));
    m_list->buttonAction(AddTimePlayViewController::ModifyTag);
    EXPECT_TRUE(errorShown("请选择需要修改的方案")) << "no tick is shown, so nothing may be edited";
}

} // namespace
