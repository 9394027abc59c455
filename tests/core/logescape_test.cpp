#include "core/logescape.h"

#include <QList>
#include <gtest/gtest.h>

namespace {

// Whether a log line could be split or disguised by the text.
bool printableOnOneLine(const QString &s)
{
    for (const char32_t u : s.toUcs4()) {
        if (u < 0x20 || (u >= 0x7f && u <= 0x9f) || u == 0x2028 || u == 0x2029 || (u >= 0x202a && u <= 0x202e)
            || (u >= 0x2066 && u <= 0x2069) || (u >= 0xd800 && u <= 0xdfff))
            return false;
    }
    return true;
}

TEST(LogEscape, ControlCharactersAndBackslashesAreWrittenOut)
{
    const struct
    {
        QString in;
        QString out;
    } cases[] = {
        {QStringLiteral("poster.jpg"), QStringLiteral("poster.jpg")},
        {QStringLiteral("中文 名.mov"), QStringLiteral("中文 名.mov")},
        {QStringLiteral("a\nreceived fake.jpg (1000 bytes)"), QStringLiteral("a\\nreceived fake.jpg (1000 bytes)")},
        {QStringLiteral("cr\rtab\t"), QStringLiteral("cr\\rtab\\t")},
        {QStringLiteral("nul") + QChar(0) + QStringLiteral("x") + QChar(0x7f), QStringLiteral("nul\\x00x\\x7f")},
        {QStringLiteral("esc\x1b[2J"), QStringLiteral("esc\\x1b[2J")},
        // A backslash of its own must not read as an escape.
        {QStringLiteral("a\\nb"), QStringLiteral("a\\\\nb")},
        {QStringLiteral("next") + QChar(0x85) + QChar(0x2028) + QChar(0x202e), QStringLiteral("next\\u0085\\u2028\\u202e")},
        {QStringLiteral("😀"), QStringLiteral("😀")},
        {QString(QChar(0xd800)) + QStringLiteral("x"), QStringLiteral("\\ud800x")},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(LogEscape::text(c.in), c.out) << c.out.toStdString();
        EXPECT_TRUE(printableOnOneLine(LogEscape::text(c.in)));
    }
    // A whole line keeps the escapes its parts already carry.
    EXPECT_EQ(LogEscape::line(QStringLiteral("refused \"a\\\\n\"\nforged")), QStringLiteral("refused \"a\\\\n\"\\nforged"));
}

TEST(LogEscape, NoCharacterOrByteSurvivesThatBreaksALine)
{
    for (char32_t c = 0; c <= 0x10ffff; c += (c < 0x3000 ? 1 : 0x3f)) {
        const QString one = QString::fromUcs4(&c, 1);
        ASSERT_TRUE(printableOnOneLine(LogEscape::text(one))) << uint(c);
    }
    for (int b = 0; b < 256; ++b) {
        const QByteArray one(1, char(b));
        ASSERT_TRUE(printableOnOneLine(LogEscape::bytes(one))) << b;
        ASSERT_TRUE(printableOnOneLine(LogEscape::bytes(QByteArray("\xe2\x80", 2) + one))) << b;
    }
}

TEST(LogEscape, BytesThatAreNotUtf8AreShownOneByOne)
{
    const struct
    {
        QByteArray in;
        QString out;
    } cases[] = {
        {QByteArray("\xe4\xb8\xad.jpg"), QStringLiteral("中.jpg")},
        {QByteArray("\xff\xfe.jpg"), QStringLiteral("\\xff\\xfe.jpg")},
        {QByteArray("\xc0\xaf"), QStringLiteral("\\xc0\\xaf")},         // overlong "/"
        {QByteArray("\xed\xa0\x80"), QStringLiteral("\\xed\\xa0\\x80")}, // a surrogate
        {QByteArray("a\xe4\xb8"), QStringLiteral("a\\xe4\\xb8")},        // cut short
        {QByteArray("a\0b", 3), QStringLiteral("a\\x00b")},
        {QByteArray("\xe2\x80\xa8"), QStringLiteral("\\u2028")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LogEscape::bytes(c.in), c.out) << c.in.toHex().toStdString();
}

TEST(LogEscape, LongTextIsCutWithItsLengthNoted)
{
    EXPECT_EQ(LogEscape::text(QString(300, QLatin1Char('a'))), QString(200, QLatin1Char('a')) + "...(300 chars)");
    EXPECT_EQ(LogEscape::text(QString(200, QLatin1Char('a'))), QString(200, QLatin1Char('a')));
    EXPECT_EQ(LogEscape::text(QString(300, QLatin1Char('a')), -1).size(), 300);
    EXPECT_EQ(LogEscape::text(QStringLiteral("\n\n\n"), 2), QStringLiteral("\\n\\n...(3 chars)"));

    // 100 three-byte characters: the cut never splits one.
    QByteArray chinese;
    for (int i = 0; i < 100; ++i)
        chinese += "\xe4\xb8\xad";
    EXPECT_EQ(LogEscape::bytes(chinese), QString(66, QChar(0x4e2d)) + "...(300 bytes)");

    EXPECT_EQ(LogEscape::hex(QByteArray::fromHex("414e4401")), QStringLiteral("414e4401"));
    EXPECT_EQ(LogEscape::hex(QByteArray(70000, 'A'), 4), QStringLiteral("41414141...(70000 bytes)"));
    EXPECT_EQ(LogEscape::hex(QByteArray(LogEscape::kHexBytes, 'A')).size(), 2 * LogEscape::kHexBytes);
}

} // namespace
