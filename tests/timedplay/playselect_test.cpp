#include "protocol/catalogue.h"
#include "screenfixture.h"
#include "screens/playback/playselectviewcontroller.h"
#include "timedplayfixtures.h"
#include "ui/screenregistry.h"

#include <gtest/gtest.h>

namespace {

const char *kFilesNotice = Catalogue::kTimePlayFilesReply.notice;
const char *kChooseNotice = Catalogue::kTimePlayListFilesChooseNotice;
const QString kParam = QStringLiteral("414e44015602" "01" "02" "0002" "6162" "00" "0000" "0000" "0000" "0000"
                                      "01" "00" "01" "00" "00" "0000" "0000" "0000" "0000" "0002" "783b");

class PlaySelectTest : public TimedPlayScreenTest
{
protected:
    PlaySelectViewController *open()
    {
        // Pushed over a stand-in for the earlier steps, as in the app.
        push(new KTBaseViewController);
        auto *p = new PlaySelectViewController;
        p->setTimePlayParam(kParam);
        p->setWindowID(QStringLiteral("01"));
        p->setProjectIDHex(QStringLiteral("02"));
        m_files = push(p);
        return p;
    }
    void chooseOnServer(const QStringList &paths)
    {
        QVariantList entries;
        for (const QString &path : paths)
            entries << serverFile(path, QStringLiteral("NO"));
        post(kChooseNotice, entries);
    }
    QStringList shown(const char *key = "fileName") const
    {
        QStringList out;
        for (const QVariant &v : m_files->rows())
            out << v.toMap().value(key).toString();
        return out;
    }
    QStringList chosen() const
    {
        QStringList out;
        for (const QVariant &v : m_files->chooseListArray())
            out << v.toMap().value("filesContent").toString();
        return out;
    }
    // The frames sent after the scheme's file query.
    QStringList sentAfterQuery() const { return m_recorder.hexes().mid(1); }
    static QString lastFileFrame(const QString &path)
    {
        const QByteArray utf8 = path.toUtf8();
        return QStringLiteral("414e44015602%1%2%3")
            .arg(utf8.size(), 4, 16, QLatin1Char('0'))
            .arg(QString::fromLatin1(utf8.toHex()))
            .arg((4 + 2 * utf8.size()) % 100, 2, 16, QLatin1Char('0'));
    }
    static QString moreFileFrame(const QString &path)
    {
        const QByteArray utf8 = path.toUtf8();
        return QStringLiteral("414e44015602%1%2ff")
            .arg(utf8.size(), 4, 16, QLatin1Char('0'))
            .arg(QString::fromLatin1(utf8.toHex()));
    }

    PlaySelectViewController *m_files = nullptr;
};

TEST_F(PlaySelectTest, LoadsTheSchemesFilesUncheckedAndNeedsAChoiceToFinish)
{
    open();
    EXPECT_EQ(m_files->title(), QStringLiteral("定时播放方案设定"));
    EXPECT_EQ(m_files->rightBarButtonTitle(), QStringLiteral("完成"));
    ASSERT_EQ(m_recorder.frames.size(), 1);
    EXPECT_EQ(m_recorder.frames.first().hex, QStringLiteral("414e440153030102" "7f000001"));

    post(kFilesNotice, fileReplyHex("/media/a.mp4", true));
    EXPECT_TRUE(m_files->rows().isEmpty());
    post(kFilesNotice, fileReplyHex("/media/sub/b.mp4", false));
    EXPECT_EQ(shown(), QStringList({"a.mp4", "b.mp4"}));
    EXPECT_EQ(shown("number"), QStringList({"1", "2"}));
    EXPECT_EQ(shown("checked"), QStringList({"false", "false"}));
    EXPECT_TRUE(chosen().isEmpty());

    m_files->clickedBarButtonItemAction();
    EXPECT_TRUE(errorShown("请选择视频文件"));
    EXPECT_TRUE(sentAfterQuery().isEmpty());
    EXPECT_EQ(m_nav->top(), m_files);

    m_files->didSelectRow(1);
    m_files->clickedBarButtonItemAction();
    EXPECT_EQ(sentAfterQuery(), QStringList({kParam, lastFileFrame("/media/sub/b.mp4")}));
    ASSERT_EQ(m_recorder.frames.size(), 3);
    EXPECT_EQ(m_recorder.frames.at(1).timeoutSec, 10);
    EXPECT_EQ(m_recorder.frames.at(2).timeoutSec, -1);
    EXPECT_EQ(m_nav->top(), m_root) << "back to the server list";
}

TEST_F(PlaySelectTest, FilesChosenOnTheServerReplaceTheShownList)
{
    const QStringList three{"/m/a.mp4", "/m/b.mp4", "/m/c.mp4"};
    struct Case
    {
        const char *name;
        std::function<void(PlaySelectViewController *)> then;
        QStringList sent; // after "完成", the parameter frame first
        QStringList rows;
    };
    const QList<Case> cases{
        {"finish at once: the parameter frame and three file frames",
         [](PlaySelectViewController *) {},
         {kParam, moreFileFrame("/m/a.mp4"), moreFileFrame("/m/b.mp4"), lastFileFrame("/m/c.mp4")},
         {"a.mp4", "b.mp4", "c.mp4"}},
        {"untick the middle one: two file frames",
         [](PlaySelectViewController *p) { p->didSelectRow(1); },
         {kParam, moreFileFrame("/m/a.mp4"), lastFileFrame("/m/c.mp4")},
         {"a.mp4", "b.mp4", "c.mp4"}},
        {"delete at once: every row goes, nothing can be finished",
         [](PlaySelectViewController *p) { p->deleteAction(); },
         {},
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        m_recorder.frames.clear();
        popups().clearHistory();
        open();
        post(kFilesNotice, fileReplyHex("/m/old.mp4", false));
        chooseOnServer(three);
        EXPECT_EQ(shown("checked"), QStringList({"true", "true", "true"}));
        EXPECT_EQ(chosen(), three);

        c.then(m_files);
        EXPECT_EQ(shown(), c.rows);
        m_files->doneAction();
        EXPECT_EQ(sentAfterQuery(), c.sent);
        if (c.sent.isEmpty()) {
            EXPECT_TRUE(errorShown("请选择视频文件"));
            EXPECT_EQ(m_nav->top(), m_files);
        } else {
            EXPECT_EQ(m_nav->top(), m_root);
        }
        m_nav->popToRoot();
        flushDeletes();
    }
}

TEST_F(PlaySelectTest, SelectAllKeepsEarlierChoicesFirstAndOffEmptiesTheChoice)
{
    open();
    post(kFilesNotice, fileReplyHex("/m/a", true));
    post(kFilesNotice, fileReplyHex("/m/b", true));
    post(kFilesNotice, fileReplyHex("/m/c", false));
    m_files->didSelectRow(1);

    // The list header: the box (1) and the buttons (9: 3 add, 4 delete).
    m_files->clickedCellButtonWith(PlaySelectViewController::CheckBoxAction, 1);
    EXPECT_TRUE(m_files->isAllSelected());
    EXPECT_EQ(chosen(), QStringList({"/m/b", "/m/a", "/m/c"}));
    EXPECT_EQ(shown("checked"), QStringList({"true", "true", "true"}));

    m_files->clickedCellButtonWith(PlaySelectViewController::CheckBoxAction, 0);
    EXPECT_TRUE(chosen().isEmpty());
    EXPECT_EQ(shown("checked"), QStringList({"false", "false", "false"}));
    m_files->clickedCellButtonWith(PlaySelectViewController::ButtonAction, PlaySelectViewController::DeleteButton);
    EXPECT_TRUE(errorShown("请选择需要删除的文件"));
    EXPECT_EQ(shown(), QStringList({"a", "b", "c"}));

    m_files->didSelectRow(0);
    m_files->didSelectRow(2);
    m_files->deleteAction();
    EXPECT_EQ(shown(), QStringList({"b"}));
    EXPECT_EQ(shown("number"), QStringList({"1"}));
    EXPECT_TRUE(chosen().isEmpty());
}

TEST_F(PlaySelectTest, ALateAnswerDoesNotHideTheFilesChosenMeanwhile)
{
    open();
    post(kFilesNotice, fileReplyHex("/m/old1", true));
    chooseOnServer({"/m/new"});
    post(kFilesNotice, fileReplyHex("/m/old2", false));
    EXPECT_EQ(shown(), QStringList({"new"}));
    EXPECT_EQ(chosen(), QStringList({"/m/new"}));
}

TEST_F(PlaySelectTest, AnUnreadableReplyIsLeftOutButEndsTheList)
{
    open();
    post(kFilesNotice, fileReplyHex("/m/a", true));
    // A name length past the end; ffff holds no ff00, so this is the last reply.
    post(kFilesNotice, QStringLiteral("414e440256030102ffff61"));
    EXPECT_EQ(shown(), QStringList({"a"}));
}

TEST_F(PlaySelectTest, LeavingByBackSendsNothing)
{
    open();
    chooseOnServer({"/m/a"});
    m_files->backButtonTapped();
    flushDeletes();
    EXPECT_EQ(m_recorder.frames.size(), 1) << "only the query";
}

TEST_F(PlaySelectTest, AddFileOpensTheServerFilesForThisWindowWithAddTypeTwo)
{
    open();
    m_files->clickedCellButtonWith(PlaySelectViewController::ButtonAction, PlaySelectViewController::AddButton);
    KTBaseViewController *source = m_nav->top();
    ASSERT_NE(source, m_files);
    EXPECT_STREQ(source->metaObject()->className(), "DeviceSourceViewController");
    EXPECT_EQ(source->property("windowID").toString(), QStringLiteral("01"));
    EXPECT_EQ(source->property("addFilesType").toString(), QStringLiteral("2"));
}

} // namespace
