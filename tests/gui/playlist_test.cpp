// The play list as the user sees it scroll: a freshly loaded list brings
// the playing row into the middle; a play state that arrives later only
// moves the highlight and leaves the list where the user has it.
#include "gui/guifixture.h"
#include "screens/playback/playcontrolviewcontroller.h"
#include "ui/popupcenter.h"

#include <QQmlProperty>

namespace {

class PlayListScrollTest : public GuiTest
{
protected:
    static constexpr int kEntries = 40;
    void SetUp() override
    {
        GuiTest::SetUp();
        for (int i = 0; i < kEntries; ++i)
            m_files << QStringLiteral("/media/节目%1.mp4").arg(i + 1, 2, 10, QLatin1Char('0'));
        for (const QString &f : m_files)
            playlists().addFile(1, f);
        chooseServer();
    }
    qreal contentY(QQuickItem *list) const { return QQmlProperty::read(list, QStringLiteral("contentY")).toReal(); }
    QStringList m_files;
};

TEST_F(PlayListScrollTest, OnlyALoadScrollsToThePlayingRow)
{
    // Entry 30 plays when the screen opens: the load shows it.
    CommonManager::sharedManager().currentSelectDev.currentPlayIndex = 30;
    app();
    auto *screen = push(new PlayControlViewController);
    ASSERT_TRUE(waitUntil([&] { return screen->rows().size() == kEntries; }));
    clock().advance(PopupCenter::kProgressTimeoutMs);
    QQuickItem *list = app().find(QStringLiteral("playList"));
    ASSERT_TRUE(list);
    EXPECT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("节目31.mp4")); }));
    EXPECT_FALSE(app().findText(QStringLiteral("节目01.mp4")));

    // The user scrolls back to the top; then the server starts entry 35.
    QQmlProperty::write(list, QStringLiteral("contentY"), 0);
    app().settle();
    ASSERT_TRUE(app().findText(QStringLiteral("节目01.mp4")));
    ASSERT_TRUE(playlists().playFile(1, m_files.at(35), phoneAddress()));
    ASSERT_TRUE(waitUntil([&] { return screen->currentPlayIndex() == 35; }));
    app().settle();
    EXPECT_TRUE(screen->rows().at(35).toMap().value(QStringLiteral("playing")).toBool());
    EXPECT_EQ(contentY(list), 0);
    EXPECT_TRUE(app().findText(QStringLiteral("节目01.mp4")));

    // A click on a row plays it where it stands, too.
    ASSERT_TRUE(app().clickText(QStringLiteral("节目03.mp4")));
    EXPECT_TRUE(received(QStringLiteral("414e44015703010002")));
    app().settle();
    EXPECT_EQ(contentY(list), 0);
}

} // namespace
