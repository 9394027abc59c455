// The timed-play pages, rendered offscreen in the states a person would look
// at, and written to PNGs.
#include "pagerenderer.h"
#include "protocol/catalogue.h"
#include "protocol/timedplaycommands.h"
#include "screens/playback/playselectviewcontroller.h"
#include "screens/timedplay/addtimeplayviewcontroller.h"
#include "screens/timedplay/timeplaywordsviewcontroller.h"
#include "screens/timedplay/timingplayviewcontroller.h"
#include "session/commonmanager.h"
#include "support/testcontext.h"
#include "ui/datetimefield.h"
#include "ui/pickerfield.h"
#include "ui/uikit.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

QString counted(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return QStringLiteral("%1").arg(utf8.size(), 4, 16, QLatin1Char('0')) + QString::fromLatin1(utf8.toHex());
}

QString schemeReply(const QString &id, const QString &name, bool more)
{
    return QStringLiteral("414e44025602" "01") + id + counted(name) + QStringLiteral("00" "0000000000000000") +
           QStringLiteral("0000000000" "000000000000") + counted(QString()) +
           counted(QStringLiteral("2016/03/01~2016/03/31#08:00:00~18:00:00;")) + (more ? QStringLiteral("ff00") : QString());
}

QVariantMap serverFile(const QString &path)
{
    const QByteArray utf8 = path.toUtf8();
    return {{QStringLiteral("filesLenHex"), QStringLiteral("%1").arg(utf8.size(), 4, 16, QLatin1Char('0'))},
            {QStringLiteral("filesContentHex"), QString::fromLatin1(utf8.toHex())},
            {QStringLiteral("filesContent"), path},
            {QStringLiteral("checked"), QStringLiteral("NO")}};
}

class TimedPlayPagesTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        selectServer(QStringLiteral("127.0.0.2"), QStringLiteral("01"));
    }
    QImage render(KTBaseViewController *screen, const QString &name)
    {
        QStringList warnings;
        const QString png = QStringLiteral(QEVA_SCREENSHOT_DIR "/timedplay/%1.png").arg(name);
        EXPECT_TRUE(PageRenderer::renderScreen(screen, png, &warnings));
        EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
        const QImage image(png);
        EXPECT_EQ(image.size(), PageRenderer::kPhone);
        return image;
    }
    void push(KTBaseViewController *screen) { ASSERT_TRUE(UiKit::shared().navigation().push(screen)); }
};

TEST_F(TimedPlayPagesTest, SchemeListShowsATickedRowInLightBlue)
{
    auto *list = new AddTimePlayViewController;
    push(list);
    const char *notice = Catalogue::kTimePlayListReply.notice;
    ctx().notices().post(QLatin1String(notice), schemeReply(QStringLiteral("01"), QStringLiteral("早间新闻"), true));
    ctx().notices().post(QLatin1String(notice), schemeReply(QStringLiteral("02"), QStringLiteral("午间广告"), true));
    ctx().notices().post(QLatin1String(notice), schemeReply(QStringLiteral("03"), QStringLiteral("晚间节目"), false));
    ASSERT_EQ(list->dataSource().size(), 3);
    list->didSelectRow(1);
    const QImage image = render(list, QStringLiteral("AddTimePlayViewController"));
    // Bar 48, toolbar 48, rows of 60: the middle of the second row, right side.
    const int secondRow = 48 + 48 + 60 + 30;
    EXPECT_EQ(image.pixelColor(370, secondRow), QColor(0xcf, 0xe7, 0xf7));
    EXPECT_EQ(image.pixelColor(370, secondRow - 60), QColor(Qt::white));
}

TEST_F(TimedPlayPagesTest, SchemeSettingsWithClockAndTwoDates)
{
    CommonManager::sharedManager().isAddTimeProject = false;
    auto *s = new TimingPlayViewController;
    s->setWindowID(QStringLiteral("01"));
    s->setChooseDict({{QStringLiteral("state"), QStringLiteral("0")}, {QStringLiteral("projectIDHex"), QStringLiteral("04")}});
    push(s);
    s->setProjectName(QStringLiteral("早间新闻"));
    s->didSelectedCheckBox(true);
    s->senmentControlAction(TimingPlayViewController::DigitalClockSegment);
    s->setClockX(QStringLiteral("10"));
    s->setClockY(QStringLiteral("20"));
    s->setClockWidth(QStringLiteral("200"));
    s->setClockHeight(QStringLiteral("80"));
    for (auto [field, date] : {std::pair{s->startDateField(), QDate(2016, 3, 1)}, std::pair{s->endDateField(), QDate(2016, 3, 31)}}) {
        field->beginEditing();
        field->selectDate(date);
        field->endEditing();
    }
    for (auto [field, time] : {std::pair{s->startTimeField(), QTime(8, 0)}, std::pair{s->endTimeField(), QTime(18, 0)}}) {
        field->beginEditing();
        field->selectTime(time);
        field->endEditing();
    }
    s->dateButtonAction(TimingPlayViewController::AddDateTag);
    s->dateButtonAction(TimingPlayViewController::AddDateTag);
    render(s, QStringLiteral("TimingPlayViewController"));
}

TEST_F(TimedPlayPagesTest, TextStepWithBrightBlueText)
{
    auto *w = new TimePlayWordsViewController;
    w->setWindowID(QStringLiteral("01"));
    push(w);
    w->setWordString(QStringLiteral("欢迎光临"));
    w->setSuduText(QStringLiteral("5"));
    w->setWordSizeText(QStringLiteral("24"));
    w->colorField()->selectRow(12);
    w->fangxiangField()->selectRow(1);
    w->setXText(QStringLiteral("0"));
    w->setYText(QStringLiteral("100"));
    w->setZText(QStringLiteral("0"));
    ASSERT_EQ(w->colorType(), QStringLiteral("0c"));
    render(w, QStringLiteral("TimePlayWordsViewController"));
}

TEST_F(TimedPlayPagesTest, FileListWithChosenFiles)
{
    auto *p = new PlaySelectViewController;
    p->setWindowID(QStringLiteral("01"));
    p->setProjectIDHex(QStringLiteral("01"));
    push(p);
    ctx().notices().post(QLatin1String(Catalogue::kTimePlayListFilesChooseNotice),
                         QVariantList{serverFile(QStringLiteral("/media/早间新闻.mp4")),
                                      serverFile(QStringLiteral("/media/天气预报.mp4")),
                                      serverFile(QStringLiteral("/media/广告/促销.jpg"))});
    p->didSelectRow(1);
    ASSERT_EQ(p->chosenCount(), 2);
    render(p, QStringLiteral("PlaySelectViewController"));
}

} // namespace
