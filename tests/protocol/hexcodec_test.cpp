#include "protocol/hexcodec.h"
#include "support/testcontext.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

struct NumberCase {
    const char *op;
    qint64 value;
    const char *hex;
};

QString convert(const QString &op, qint64 v)
{
    if (op == QLatin1String("2")) return HexCodec::TenToHexForTwo(v);
    if (op == QLatin1String("4")) return HexCodec::TenToHex(v);
    if (op == QLatin1String("8")) return HexCodec::TenToEightHex(v);
    return HexCodec::TenToHexWitheightHex(v);
}

TEST(HexCodec, NumbersPadToTheirWidthAndOverflowUnpaddedUpToTheCap)
{
    const NumberCase cases[] = {
        {"2", 0, "00"}, {"2", 255, "ff"}, {"2", 256, "100"}, {"2", 10, "0a"},
        {"4", 0, "0000"}, {"4", 65535, "ffff"}, {"4", 65536, "10000"},
        {"8", 890923, "000d982b"}, {"8", 4294967295LL, "ffffffff"}, {"8", 4294967296LL, "100000000"},
        // More digits than the cap: only the lowest cap digits stay.
        {"8", 0x123456789aLL, "23456789a"}, {"2", 0x123456789aLL, "23456789a"},
        {"4", 0x123456789abcdefLL, "123456789abcdef"}, {"4", 0x1123456789abcdefLL, "123456789abcdef"},
        {"16", 1, "0000000000000001"}, {"16", 0x7fffffffffffffffLL, "7fffffffffffffff"},
    };
    for (const NumberCase &c : cases)
        EXPECT_EQ(convert(QLatin1String(c.op), c.value), QLatin1String(c.hex)) << c.op << " digits of " << c.value;
    // The two faces are one codec.
    EXPECT_EQ(HexCodec::TenToEightHex(890923), HexCodec::TenToEightHex(890923));
}

TEST(HexCodec, StringsAndBytes)
{
    EXPECT_EQ(HexCodec::chineseToHex(QStringLiteral("abc")), QStringLiteral("616263"));
    EXPECT_EQ(HexCodec::chineseToHex(QStringLiteral("中")).size(), 6);
    EXPECT_EQ(HexCodec::chineseToHex(QStringLiteral("中文")), QStringLiteral("e4b8ade69687"));
    EXPECT_EQ(HexCodec::NSDataToByteTohex(QByteArray("\x00\x0f\xa0", 3)), QStringLiteral("000fa0"));
    EXPECT_EQ(HexCodec::hexString(QByteArray("\x41\x4e\x44\x01", 4)), QStringLiteral("414e4401"));

    struct { const char *hex; std::optional<QString> text; } decode[] = {
        {"616263", QStringLiteral("abc")}, {"61626", QStringLiteral("ab")}, {"610062", QStringLiteral("a")},
        {"", QString()}, {"E4B8ADe69687", QStringLiteral("中文")},
        {"ff", std::nullopt},       // not UTF-8
        {"e4b8", std::nullopt},     // cut inside a character
    };
    for (const auto &c : decode) {
        const auto got = HexCodec::stringFromHexString(QLatin1String(c.hex));
        ASSERT_EQ(got.has_value(), c.text.has_value()) << c.hex;
        if (got)
            EXPECT_EQ(*got, *c.text) << c.hex;
    }
    EXPECT_EQ(HexCodec::stringFromHexString(QString())->size(), 0);

    struct { const char *hex; std::optional<QByteArray> bytes; } encode[] = {
        {"41 4e44", QByteArray("\x41\x4e\x44", 3)}, {"414", std::nullopt}, {"41zz", std::nullopt},
        {"ab", QByteArray("\xab", 1)}, {"AB", QByteArray("\xab", 1)}, {"", QByteArray()},
        {"0x12", std::nullopt}, {"4g", std::nullopt},
    };
    for (const auto &c : encode) {
        const auto got = HexCodec::hexStringToByteToNSData(QLatin1String(c.hex));
        ASSERT_EQ(got.has_value(), c.bytes.has_value()) << c.hex;
        if (got)
            EXPECT_EQ(*got, *c.bytes) << c.hex;
    }
}

TEST(HexCodec, Addresses)
{
    EXPECT_EQ(HexCodec::changToHexIpWithHostIpString(QStringLiteral("192.168.1.10")), QStringLiteral("c0a8010a"));
    EXPECT_EQ(HexCodec::changToHexIpWithHostIpString(QStringLiteral("0.0.0.0")), QStringLiteral("00000000"));
    EXPECT_EQ(HexCodec::changToHexIpWithHostIpString(QString()), QStringLiteral("00"));
    EXPECT_EQ(HexCodec::changToHexIpWithHostIpString(QStringLiteral("fe80::1")), QStringLiteral("00"));
    EXPECT_EQ(HexCodec::changToHexIpWithHostIpString(QStringLiteral("10.x.300.4")), QStringLiteral("0a0012c04"));
    EXPECT_EQ(HexCodec::changTohostIpWithHostIpString(QStringLiteral("c0a8010a")), QStringLiteral("192.168.1.10"));
    EXPECT_EQ(HexCodec::changTohostIpWithHostIpString(QStringLiteral("C0A8010A")), QStringLiteral("192.168.1.10"));
    EXPECT_FALSE(HexCodec::changTohostIpWithHostIpString(QStringLiteral("c0a801")).has_value());
    EXPECT_FALSE(HexCodec::changTohostIpWithHostIpString(QStringLiteral("c0a8010a00")).has_value());
    EXPECT_FALSE(HexCodec::changTohostIpWithHostIpString(QStringLiteral("c0a8zz0a")).has_value());
}

TEST(HexCodec, ContainmentNullsAndRandom)
{
    EXPECT_TRUE(HexCodec::isExsitTheStringWithCheckString(QStringLiteral("MP4"), QStringLiteral("movie.mp4")));
    EXPECT_FALSE(HexCodec::isExsitTheStringWithCheckString(QStringLiteral("movie.mp4"), QStringLiteral("mp4")));
    EXPECT_FALSE(HexCodec::isExsitTheStringWithCheckString(QString(), QStringLiteral("mp4")));
    EXPECT_FALSE(HexCodec::isExsitTheStringWithCheckString(QStringLiteral("jpg"), QStringLiteral("movie.mp4")));

    EXPECT_EQ(HexCodec::returnReplaceNull(QVariant()), QString());
    EXPECT_EQ(HexCodec::returnReplaceNull(QVariant(QStringLiteral("(null)"))), QString());
    EXPECT_EQ(HexCodec::returnReplaceNull(QVariant(QStringLiteral("<null>"))), QString());
    EXPECT_EQ(HexCodec::returnReplaceNull(QVariant(QString())), QString());
    EXPECT_EQ(HexCodec::returnReplaceNull(QVariant(42)), QStringLiteral("42"));
    EXPECT_EQ(HexCodec::returnReplaceNull(QVariant(QStringLiteral("名字"))), QStringLiteral("名字"));

    for (int i = 0; i < 2000; ++i) {
        const int n = HexCodec::getRandomNumber(100000, 999999);
        ASSERT_GE(n, 100000);
        ASSERT_LE(n, 999999);
    }
    EXPECT_EQ(HexCodec::getRandomNumber(7, 7), 7);
}

TEST(HexCodec, IntegerValueReadsLikeATextFieldAndNeverWraps)
{
    const struct { const char *text; qint64 value; } cases[] = {
        {"42", 42}, {"  7x", 7}, {"+5", 5}, {"-12", -12}, {"", 0}, {"abc", 0}, {"-", 0}, {"1.9", 1},
        {"9223372036854775807", std::numeric_limits<qint64>::max()},
        {"99999999999999999999", std::numeric_limits<qint64>::max()},
        {"-9223372036854775808", std::numeric_limits<qint64>::min()},
        {"-99999999999999999999", std::numeric_limits<qint64>::min()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(HexCodec::integerValue(QString::fromLatin1(c.text)), c.value) << c.text;
}

class HexCodecLog : public ContextTest {};

TEST_F(HexCodecLog, EightByteConversionLogsItsInput)
{
    HexCodec::TenToHexWitheightHex(1234567890123LL);
    EXPECT_TRUE(ctx().log().contains(QStringLiteral("tmpid = 1234567890123")));
}

} // namespace
