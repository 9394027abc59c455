#include "protocol/hexcodec.h"
#include "protocol/timedplaycommands.h"
#include "screenfixture.h"
#include "screens/playback/playselectviewcontroller.h"
#include "screens/timedplay/timeplaywordsviewcontroller.h"
#include "timedplayfixtures.h"
#include "ui/pickerfield.h"

#include <gtest/gtest.h>

namespace {

// What the settings step hands over for scheme 02 "ab": digital clock at
// (10, 20) sized 100 x 50, schedule "x;".
QVariantMap settingsHandOver(const QVariantMap &wordsDict = {})
{
    return {
        {"ProjectNameHex", "6162"},
        {"ProjectNameLenHex", "0002"},
        {"projectIDHex", "02"},
        {"clockDict",
         QVariantMap{{"clockTypeHex", "01"}, {"weizhiXHex", "000a"}, {"weizhiYHex", "0014"}, {"kuanduHex", "0064"},
                     {"gaoduHex", "0032"}}},
        {"wordsDict", wordsDict},
        {"timeDict", QVariantMap{{"wordsString", "783b"}, {"wordsHex", "0002"}}},
    };
}

class TimePlayWordsTest : public TimedPlayScreenTest
{
protected:
    TimePlayWordsViewController *open(const QVariantMap &pass = settingsHandOver())
    {
        auto *w = new TimePlayWordsViewController;
        w->setWindowID(QStringLiteral("01"));
        w->setPassValueDict(pass);
        return push(w);
    }
    static void choose(PickerField *field, int row)
    {
        field->beginEditing();
        field->selectRow(row);
        field->endEditing();
    }
};

TEST_F(TimePlayWordsTest, OpensWithTextOnWhiteAndLeftToRight)
{
    auto *w = open();
    EXPECT_EQ(w->title(), QStringLiteral("定时播放方案设定"));
    EXPECT_EQ(w->isEffect(), QStringLiteral("01"));
    EXPECT_TRUE(w->isEffectOn());
    EXPECT_EQ(w->colorType(), QStringLiteral("01"));
    EXPECT_EQ(w->colorField()->text(), QStringLiteral("白色"));
    EXPECT_EQ(w->colorField()->count(), 13);
    EXPECT_EQ(w->fangxiangType(), QStringLiteral("00"));
    EXPECT_EQ(w->fangxiangField()->text(), QStringLiteral("从左往右"));
    EXPECT_EQ(w->fangxiangField()->items(),
              QStringList({"从左往右", "从右往左", "从上往下", "从下到上", "静止"}));
    EXPECT_EQ(w->rightBarButtonTitle(), QStringLiteral("下一步"));
}

TEST_F(TimePlayWordsTest, PickersAndSwitchSetTheCodes)
{
    auto *w = open();
    choose(w->colorField(), 12);
    EXPECT_EQ(w->colorField()->text(), QStringLiteral("亮蓝色"));
    EXPECT_EQ(w->colorType(), QStringLiteral("0c"));
    // Turning the wheel shows the row at once.
    w->colorField()->selectRow(0);
    EXPECT_EQ(w->colorType(), QStringLiteral("00"));
    EXPECT_EQ(w->colorField()->text(), QStringLiteral("黑色"));

    const QStringList codes{"00", "01", "02", "03", "04"};
    for (int row = 0; row < codes.size(); ++row) {
        choose(w->fangxiangField(), row);
        EXPECT_EQ(w->fangxiangType(), codes.at(row));
    }
    w->switchChangeValueAction(false);
    EXPECT_EQ(w->isEffect(), QStringLiteral("00"));
    w->switchChangeValueAction(true);
    EXPECT_EQ(w->isEffect(), QStringLiteral("01"));
}

TEST_F(TimePlayWordsTest, NextAssemblesTheParameterFrameAndOpensTheFileList)
{
    auto *w = open();
    w->setWordString("hi");
    w->setSuduText("5");
    w->setWordSizeText("16");
    choose(w->colorField(), 12);
    choose(w->fangxiangField(), 4);
    w->setXText("1");
    w->setYText("2");
    w->setZText("");
    w->clickedBarButtonItemAction();

    auto *files = top<PlaySelectViewController>();
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->timePlayParam(), TimedPlayCommands::schemeParameters(sampleParamFields())->frame);
    EXPECT_EQ(files->timePlayParam(), QStringLiteral("414e44015602" "01" "02" "0002" "6162" "01" "000a" "0014" "0064" "0032"
                                                     "01" "05" "0c" "04" "10" "0001" "0002" "0000" "0002" "6869" "0002" "783b"));
    EXPECT_EQ(files->windowID(), QStringLiteral("01"));
    EXPECT_EQ(files->projectIDHex(), QStringLiteral("02"));
    // Only the file list's query went out; the frame waits for "完成".
    ASSERT_EQ(m_recorder.frames.size(), 1);
    EXPECT_TRUE(m_recorder.frames.first().hex.startsWith(QStringLiteral("414e44015303")));
}

TEST_F(TimePlayWordsTest, EmptyTextGivesZeroLengthAndNoBytes)
{
    auto *w = open();
    w->switchChangeValueAction(false);
    w->clickedBarButtonItemAction();
    auto *files = top<PlaySelectViewController>();
    ASSERT_NE(files, nullptr);
    EXPECT_TRUE(files->timePlayParam().endsWith(QStringLiteral("00" "00" "01" "00" "00" "0000" "0000" "0000" "0000"
                                                               "0002" "783b")))
        << files->timePlayParam().toStdString();
}

TEST_F(TimePlayWordsTest, NumbersThatDoNotFitTheirFieldsAreRefused)
{
    const QList<std::tuple<const char *, std::function<void(TimePlayWordsViewController *)>, QString>> cases{
        {"speed 256", [](TimePlayWordsViewController *w) { w->setSuduText("256"); }, "播放速度和字体大小应在0到255之间"},
        {"size -1", [](TimePlayWordsViewController *w) { w->setWordSizeText("-1"); }, "播放速度和字体大小应在0到255之间"},
        {"z 70000", [](TimePlayWordsViewController *w) { w->setZText("70000"); }, "位置应在0到65535之间"},
    };
    for (const auto &[name, spoil, error] : cases) {
        SCOPED_TRACE(name);
        popups().clearHistory();
        auto *w = open();
        spoil(w);
        w->nextStepAction();
        EXPECT_EQ(popups().texts(PopupCenter::Error), QStringList{error});
        EXPECT_EQ(m_nav->top(), w);
        m_nav->popToRoot();
        flushDeletes();
    }
    EXPECT_TRUE(m_recorder.frames.isEmpty());
}

TEST_F(TimePlayWordsTest, StoredTextComesBackOnEveryAppearance)
{
    const QVariantMap stored{
        {"wordString", HexCodec::chineseToHex("欢迎光临")},
        {"wordSpeedHex", "0a"},
        {"wordSizeHex", "20"},
        {"wordColorHex", "0c"},
        {"wordFangxiangHex", "03"},
        {"wordXHex", "0100"},
        {"wordYHex", "0002"},
        {"wordZHex", "0003"},
        {"wordIsExistHex", "00"},
    };
    auto *w = open(settingsHandOver(stored));
    auto expectStored = [w] {
        EXPECT_EQ(w->wordString(), QStringLiteral("欢迎光临"));
        EXPECT_EQ(QStringList({w->suduText(), w->wordSizeText(), w->xText(), w->yText(), w->zText()}),
                  QStringList({"10", "32", "256", "2", "3"}));
        EXPECT_EQ(w->colorType(), QStringLiteral("0c"));
        EXPECT_EQ(w->colorField()->text(), QStringLiteral("亮蓝色"));
        EXPECT_EQ(w->fangxiangType(), QStringLiteral("03"));
        EXPECT_EQ(w->fangxiangField()->text(), QStringLiteral("从下到上"));
        EXPECT_FALSE(w->isEffectOn());
        EXPECT_EQ(w->isEffect(), QStringLiteral("00"));
    };
    expectStored();

    w->setWordString("别的");
    choose(w->colorField(), 2);
    w->switchChangeValueAction(true);
    w->clickedBarButtonItemAction();
    ASSERT_NE(top<PlaySelectViewController>(), nullptr);
    m_nav->pop();
    expectStored();
}

} // namespace
