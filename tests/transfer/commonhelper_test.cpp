#include "screens/transfer/commonhelper.h"
#include "support/testcontext.h"

#include <QDir>
#include <QFile>

namespace {

TEST(CommonHelper, SizeTextsUseTheLargestUnitReached)
{
    const std::pair<const char *, const char *> cases[] = {
        {"1024", "1.000000K"},     {"1048576", "1.000000M"}, {"1023", "1023.000000B"},
        {"1048575", "1023.999023K"}, {"0", "0.000000B"},      {"", "0.000000B"},
        {"  2048 bytes", "2.000000K"}, {"abc", "0.000000B"},  {"3145728.5", "3.000000M"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(CommonHelper::getFileSizeString(QLatin1String(in)), QLatin1String(out)) << in;
}

TEST(CommonHelper, SizeNumbersReadTheFirstUnitLetter)
{
    const std::pair<QString, float> cases[] = {
        {QStringLiteral("2K"), 2048.0f},
        {QStringLiteral("1.5M"), 1572864.0f},
        {QStringLiteral("512"), 512.0f},
        {QStringLiteral("512B"), 512.0f},
        {QStringLiteral(" 3 K"), 3072.0f},
        // M is looked for first, wherever it stands.
        {QStringLiteral("1K2M"), 1048576.0f},
        {QStringLiteral("1.000000M"), 1048576.0f},
        {QStringLiteral("k"), 0.0f},
        {QStringLiteral("7k"), 7.0f}, // letters are case-sensitive
        // A letter at position 1000 or later does not count.
        {QString(999, QLatin1Char(' ')) + QStringLiteral("5K"), 5.0f},
        {QString(998, QLatin1Char(' ')) + QStringLiteral("5K"), 5120.0f},
    };
    for (const auto &[in, out] : cases)
        EXPECT_FLOAT_EQ(CommonHelper::getFileSizeNumber(in), out) << in.trimmed().toStdString();
}

TEST(CommonHelper, ProgressIsCurrentOverTotal)
{
    EXPECT_FLOAT_EQ(CommonHelper::getProgress(200.0f, 50.0f), 0.25f);
    EXPECT_FLOAT_EQ(CommonHelper::getProgress(3.0f, 3.0f), 1.0f);
}

class CommonHelperFolders : public ContextTest
{
};

TEST_F(CommonHelperFolders, FoldersAreTheContextsDocuments)
{
    EXPECT_EQ(CommonHelper::getDocumentPath(), ctx().config().documentsDir);
    EXPECT_EQ(CommonHelper::getTargetFloderPath(), ctx().config().documentsDir);
    EXPECT_EQ(CommonHelper::getTempFolderPath(), QDir(ctx().config().documentsDir).filePath(QStringLiteral("Temp")));
    const QString file = QDir(CommonHelper::getDocumentPath()).filePath(QStringLiteral("x.bin"));
    EXPECT_FALSE(CommonHelper::isExistFile(file));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_TRUE(CommonHelper::isExistFile(file));
}

} // namespace
