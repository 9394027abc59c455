#pragma once

#include "protocol/hexcodec.h"

// QVmethodLib is the command class: the hex codec below, and (in one header
// per command family) the stateless builders and reply parsers. It is a
// namespace so that each family adds its operations in its own file.
namespace QVmethodLib {
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
} // namespace QVmethodLib
