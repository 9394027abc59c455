#pragma once

#include "protocol/hexcodec.h"

// CommonClass is the utility face of the codec used by screens, discovery
// and the endpoint; it alone has the text-to-bytes conversion, the
// null-safe text and the random number.
namespace CommonClass {
inline QString TenToHexForTwo(qint64 v) { return HexCodec::TenToHexForTwo(v); }
inline QString TenToHex(qint64 v) { return HexCodec::TenToHex(v); }
inline QString TenToEightHex(qint64 v) { return HexCodec::TenToEightHex(v); }
inline QString TenToHexWitheightHex(qint64 v) { return HexCodec::TenToHexWitheightHex(v); }
inline QString chineseToHex(const QString &s) { return HexCodec::chineseToHex(s); }
inline QString NSDataToByteTohex(const QByteArray &b) { return HexCodec::NSDataToByteTohex(b); }
inline std::optional<QString> stringFromHexString(const QString &h) { return HexCodec::stringFromHexString(h); }
inline std::optional<QString> changTohostIpWithHostIpString(const QString &h) { return HexCodec::changTohostIpWithHostIpString(h); }
inline QString changToHexIpWithHostIpString(const QString &ip) { return HexCodec::changToHexIpWithHostIpString(ip); }
inline bool isExsitTheStringWithCheckString(const QString &check, const QString &old)
{
    return HexCodec::isExsitTheStringWithCheckString(check, old);
}
inline std::optional<QByteArray> hexStringToByteToNSData(const QString &h) { return HexCodec::hexStringToByteToNSData(h); }
inline QString returnReplaceNull(const QVariant &o) { return HexCodec::returnReplaceNull(o); }
inline int getRandomNumber(int from, int to) { return HexCodec::getRandomNumber(from, to); }
} // namespace CommonClass
