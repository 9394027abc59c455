#include "playbackfixture.h"
#include "screens/playback/devicesourceviewcontroller.h"

namespace {

class DeviceSourceTest : public PlaybackScreenTest
{
protected:
    DeviceSourceViewController *openScreen(const QString &type, const QString &window = "01")
    {
        if (!m_nav)
            m_nav = std::make_unique<KTBaseNavigationController>(new KTBaseViewController);
        auto *s = new DeviceSourceViewController;
        s->setWindowID(window);
        s->setAddFilesType(type);
        EXPECT_TRUE(m_nav->push(s));
        return s;
    }
    DeviceSourceViewController *openWithFiles(const QString &type, const QList<QByteArray> &files)
    {
        auto *s = openScreen(type);
        for (int i = 0; i < files.size(); ++i)
            post(Catalogue::kDeviceFilesReply, Replies::file(files[i], i + 1 < files.size()));
        m_recorder.frames.clear();
        return s;
    }
    static QStringList chosenNames(const DeviceSourceViewController *s)
    {
        QStringList out;
        for (const QVariant &e : s->chooseListArray())
            out << e.toMap().value("filesContent").toString();
        return out;
    }
    static QString appendFrame(const QString &window, const QByteArray &name, const QString &end)
    {
        return "414e44015601" + window + "01" + Replies::name16(name) + end;
    }
    const QList<QByteArray> m_files{"/srv/a.mp4", "/srv/b.jpg", "/srv/c.avi"};
};

TEST_F(DeviceSourceTest, TheFilesShowWithTheLastReply)
{
    auto *s = openScreen("1");
    EXPECT_EQ(s->title(), "添加视频文件");
    EXPECT_EQ(sent(), QStringList{"414e440153047f000001"});
    EXPECT_EQ(popups().text(), "文件列表获取中,请稍后!!!");
    post(Catalogue::kDeviceFilesReply, Replies::file("/srv/a.mp4", true));
    post(Catalogue::kDeviceFilesReply, Replies::file("/srv/b.jpg", true));
    EXPECT_TRUE(s->rows().isEmpty());
    EXPECT_TRUE(popups().isProgressVisible());
    post(Catalogue::kDeviceFilesReply, Replies::file("c.avi", false));

    ASSERT_EQ(s->rows().size(), 3);
    EXPECT_EQ(s->rows()[1].toMap(), (QVariantMap{{"number", "2"}, {"fileName", "b.jpg"}, {"checked", false}}));
    EXPECT_EQ(s->dataSource()[0].toMap(), (QVariantMap{{"filesLenHex", "000a"},
                                                       {"filesContentHex", HexCodec::hexString("/srv/a.mp4")},
                                                       {"filesContent", "/srv/a.mp4"},
                                                       {"checked", "NO"}}));
    EXPECT_FALSE(popups().isProgressVisible());
}

TEST_F(DeviceSourceTest, BadRepliesKeepTheOthersInPlace)
{
    auto *s = openScreen("1");
    post(Catalogue::kDeviceFilesReply, Replies::file(QByteArray("/srv/\xff\xfe", 7), true));
    post(Catalogue::kDeviceFilesReply, "414e44025604" "0040" "6162" "ff00"); // count past the end
    post(Catalogue::kDeviceFilesReply, "414e44025604" "0009" "6162"); // the last, cut short
    ASSERT_EQ(s->rows().size(), 1);
    EXPECT_EQ(s->rows()[0].toMap().value("fileName"), "\uFFFD\uFFFD");
    EXPECT_FALSE(popups().isProgressVisible());
    // Chosen and sent back, it is the bytes the server gave.
    s->didSelectRow(0);
    s->confirmAction();
    EXPECT_EQ(sent().last(), appendFrame("01", QByteArray("/srv/\xff\xfe", 7), "12"));
}

TEST_F(DeviceSourceTest, ConfirmAppendsTheChosenFilesInChoiceOrder)
{
    auto *s = openWithFiles("1", m_files);
    s->didSelectRow(2);
    s->didSelectRow(0);
    EXPECT_EQ(s->chosenCount(), 2);
    s->confirmAction();
    EXPECT_EQ(sent(), (QStringList{appendFrame("01", "/srv/c.avi", "ff"), appendFrame("01", "/srv/a.mp4", "18")}));
    EXPECT_EQ(m_nav->count(), 1) << "back to the previous screen";
}

TEST_F(DeviceSourceTest, TappingAgainUnchooses)
{
    auto *s = openWithFiles("1", m_files);
    s->didSelectRow(0);
    s->didSelectRow(1);
    s->didSelectRow(0);
    s->didSelectRow(3); // no such row
    EXPECT_EQ(chosenNames(s), QStringList{"/srv/b.jpg"});
    EXPECT_EQ(s->rows()[0].toMap().value("checked"), false);
    EXPECT_EQ(s->rows()[1].toMap().value("checked"), true);
}

TEST_F(DeviceSourceTest, SelectAllKeepsEarlierChoicesFirst)
{
    auto *s = openWithFiles("1", m_files);
    s->didSelectRow(1);
    s->clickedBarButtonItemAction(); // the select-all toggle
    EXPECT_TRUE(s->isAllSelected());
    EXPECT_EQ(s->rightBarButtonTitle(), "取消全选");
    EXPECT_EQ(chosenNames(s), (QStringList{"/srv/b.jpg", "/srv/a.mp4", "/srv/c.avi"}));
    for (const QVariant &r : s->rows())
        EXPECT_TRUE(r.toMap().value("checked").toBool());

    s->clickedBarButtonItemAction();
    EXPECT_FALSE(s->isAllSelected());
    EXPECT_EQ(s->rightBarButtonTitle(), "全选");
    EXPECT_EQ(s->chosenCount(), 0);
    s->confirmAction();
    EXPECT_TRUE(sent().isEmpty());
    EXPECT_TRUE(popups().texts(PopupCenter::Error).isEmpty()) << "type 1 says nothing";
    EXPECT_EQ(m_nav->count(), 1);
}

TEST_F(DeviceSourceTest, TypeTwoHandsTheChosenFilesBack)
{
    QVariantList posted;
    int notices = 0;
    QObject receiver;
    ctx().notices().subscribe(&receiver, "didReceiveTimePlayListFilesChooseNotice", [&](const QVariant &o) {
        posted = o.toList();
        ++notices;
    });
    auto *s = openWithFiles("2", m_files);
    s->didSelectRow(2);
    s->didSelectRow(1);
    s->confirmAction();
    EXPECT_TRUE(sent().isEmpty());
    ASSERT_EQ(notices, 1);
    ASSERT_EQ(posted.size(), 2);
    EXPECT_EQ(posted[0].toMap(), (QVariantMap{{"filesLenHex", "000a"},
                                              {"filesContentHex", HexCodec::hexString("/srv/c.avi")},
                                              {"filesContent", "/srv/c.avi"},
                                              {"checked", "YES"}}));
    EXPECT_EQ(posted[1].toMap().value("filesContent"), "/srv/b.jpg");
    EXPECT_EQ(m_nav->count(), 1);
}

TEST_F(DeviceSourceTest, TypeTwoWithNothingChosenSaysSoAndStillGoesBack)
{
    int notices = 0;
    QObject receiver;
    ctx().notices().subscribe(&receiver, "didReceiveTimePlayListFilesChooseNotice", [&](const QVariant &) { ++notices; });
    auto *s = openScreen("2");
    clock().advance(10000); // the server never answers
    EXPECT_FALSE(popups().isProgressVisible());
    s->confirmAction();
    EXPECT_EQ(notices, 0);
    EXPECT_EQ(popups().texts(PopupCenter::Error), QStringList{"请选择文件"});
    EXPECT_EQ(m_nav->count(), 1);
}

} // namespace
