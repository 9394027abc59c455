#include "protocol/hexreader.h"

#include <gtest/gtest.h>

TEST(HexReader, ReadsFieldsInOrderAndNeverPastTheEnd)
{
    HexReader r(QStringLiteral("414e44025501" "0102" "0003" "616263" "0f"), 12);
    EXPECT_EQ(r.take(2), QStringLiteral("0102"));
    EXPECT_EQ(r.takeNumber(2), 3);
    EXPECT_EQ(r.takeText(3), QStringLiteral("abc"));
    EXPECT_EQ(r.remainingBytes(), 1);
    // A field that is not all there gives nothing and leaves the reader where it was.
    EXPECT_FALSE(r.take(2).has_value());
    EXPECT_FALSE(r.takeNumber(2).has_value());
    EXPECT_EQ(r.takeNumber(1), 15);
    EXPECT_TRUE(r.atEnd());
    EXPECT_FALSE(r.take(1).has_value());

    HexReader odd(QStringLiteral("abc"));
    EXPECT_EQ(odd.take(1), QStringLiteral("ab"));
    EXPECT_FALSE(odd.take(1).has_value()); // a lone trailing digit is no byte

    HexReader bad(QStringLiteral("zz01"));
    EXPECT_FALSE(bad.takeNumber(1).has_value());
    EXPECT_EQ(bad.position(), 0);
    EXPECT_FALSE(HexReader(QStringLiteral("ff")).takeText(1).has_value()); // not UTF-8
    EXPECT_FALSE(HexReader(QStringLiteral("00"), 40).take(1).has_value());  // offset past the end
}
