#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <optional>

// The conversions between hex text and numbers, strings, addresses and
// bytes. Every frame is built, logged and parsed as hex text: one pair of
// digits per byte, lower case when written, either case when read.
//
// It is the one face of these operations: builders, parsers, screens, the
// endpoint and the simulator all call them here.
class HexCodec
{
public:
    // Numbers, big-endian and zero-padded to the field width. A value wider
    // than the field comes back longer (unpadded, uncut); one that needs more
    // digits than the operation's cap keeps its lowest cap digits.
    static QString TenToHexForTwo(qint64 value);        // 1 byte
    static QString TenToHex(qint64 value);              // 2 bytes
    static QString TenToEightHex(qint64 value);         // 4 bytes
    static QString TenToHexWitheightHex(qint64 value);  // 8 bytes; logs "tmpid = %lld"

    static QString chineseToHex(const QString &text);   // UTF-8 bytes as hex
    static QString NSDataToByteTohex(const QByteArray &bytes);
    static QString hexString(const QByteArray &bytes);  // "%02x" per byte

    // The text up to the first zero byte; nothing when the bytes are not UTF-8.
    static std::optional<QString> stringFromHexString(const QString &hex);
    // Blanks removed, either case; nothing for odd length or a non-hex digit.
    static std::optional<QByteArray> hexStringToByteToNSData(const QString &hex);

    static std::optional<QString> changTohostIpWithHostIpString(const QString &hexIp);
    static QString changToHexIpWithHostIpString(const QString &dottedIp);

    // The leading decimal integer of a text, as a text field's number reads:
    // blanks, a sign, digits; 0 when there are none; held at the ends of
    // the 64-bit range rather than wrapped.
    static qint64 integerValue(const QString &text);

    static bool isExsitTheStringWithCheckString(const QString &check, const QString &old);
    static QString returnReplaceNull(const QVariant &object);
    static int getRandomNumber(int from, int to);

private:
    static QString numberToHex(qint64 value, int width, int cap);
};
