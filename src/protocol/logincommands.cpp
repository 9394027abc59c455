#include "protocol/logincommands.h"

#include "core/logging.h"
#include "protocol/hexcodec.h"
#include "protocol/hexreader.h"
#include "protocol/playlistcommands.h"

#include <QStringDecoder>
#include <algorithm>
#include <QStringEncoder>

namespace {
constexpr qsizetype kMinReplyChars = 30;
constexpr qint64 kFallbackUserId = 890923;
constexpr qsizetype kMaxFieldBytes = 0xffff; // a 2-byte length field

// A text field's bytes up to its first zero byte, as the UTF-8 reading takes them.
QByteArray fieldBytes(const QString &hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
    return QByteArray(bytes.constData(), qsizetype(qstrnlen(bytes.constData(), size_t(bytes.size()))));
}

std::optional<QString> localCodePageText(const QByteArray &bytes)
{
    QStringDecoder decoder("GB18030");
    QStringEncoder encoder("GB18030");
    if (!decoder.isValid() || !encoder.isValid())
        return std::nullopt;
    const QString text = decoder.decode(bytes);
    if (decoder.hasError() || QByteArray(encoder.encode(text)) != bytes)
        return std::nullopt;
    const bool printable = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isPrint(); });
    return printable ? std::optional<QString>(text) : std::nullopt;
}
}

QString ShebeiInfoReply::displayName() const
{
    if (name)
        return *name;
    if (const auto text = localCodePageText(fieldBytes(nameHex)))
        return *text;
    return PlayListCommands::readableFileName(nameHex);
}

QString ShebeiInfoReply::passwordText() const
{
    if (password)
        return *password;
    const QByteArray bytes = fieldBytes(passwordHex);
    if (const auto text = localCodePageText(bytes))
        return *text;
    return QString::fromLatin1(bytes);
}

std::optional<ShebeiInfoReply> ShebeiInfoReply::read(const QString &hexString)
{
    if (hexString.size() < kMinReplyChars)
        return std::nullopt;
    HexReader r(hexString, 12);
    ShebeiInfoReply info;
    const auto userId = r.take(4);
    const auto nameLength = r.takeNumber(2);
    if (!userId || !nameLength)
        return std::nullopt;
    const auto nameHex = r.take(*nameLength);
    const auto passwordLengthHex = r.take(2);
    if (!nameHex || !passwordLengthHex)
        return std::nullopt;
    bool ok = false;
    const qsizetype passwordLength = passwordLengthHex->toInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    const auto passwordHex = r.take(passwordLength);
    const auto windowHex = r.take(1);
    if (!passwordHex || !windowHex)
        return std::nullopt;
    const int windowCount = windowHex->toInt(&ok, 16);
    if (!ok || r.atEnd())
        return std::nullopt; // nothing past the window count

    info.userId = *userId;
    info.nameHex = *nameHex;
    info.name = HexCodec::stringFromHexString(*nameHex);
    info.passwordLengthHex = *passwordLengthHex;
    info.passwordHex = *passwordHex;
    info.password = HexCodec::stringFromHexString(*passwordHex);
    info.windowHex = *windowHex;
    info.windowCount = windowCount;
    info.rest = r.rest();
    return info;
}

std::optional<QString> ShebeiInfoReply::serverAddressHex() const
{
    const qsizetype at = qsizetype(8) * windowCount;
    if (rest.size() <= at + 8)
        return std::nullopt;
    return rest.mid(at, 8);
}

namespace LoginCommands {

namespace {
// The server's own address as the reply carries it.
std::optional<QString> serverAddress(const ShebeiInfoReply &info)
{
    const auto addressHex = info.serverAddressHex();
    return addressHex ? HexCodec::changTohostIpWithHostIpString(*addressHex) : std::nullopt;
}
} // namespace

std::optional<QString> userIdKey(const QString &hexString)
{
    const auto info = ShebeiInfoReply::read(hexString);
    const auto address = info ? serverAddress(*info) : std::nullopt;
    if (!address)
        return std::nullopt;
    // The key holds the name as discovery records it, whatever its encoding.
    return QStringLiteral("kUserConnectedID_%1_%2").arg(info->displayName(), *address);
}

std::optional<Request> login(const QString &hexString, const QString &userNameString, qint64 userId,
                             const QString &phoneIpHex)
{
    const auto info = ShebeiInfoReply::read(hexString);
    if (!info || !serverAddress(*info))
        return std::nullopt;

    const QByteArray userName = userNameString.toUtf8();
    if (userName.size() > kMaxFieldBytes) {
        // Its length would not fit the 2-byte field and shift every field after it.
        qevaLog(lcProtocol, QStringLiteral("login not sent: user name of %1 bytes").arg(userName.size()));
        return std::nullopt;
    }
    if (userId == 0)
        userId = kFallbackUserId;

    return Frame::build(Catalogue::kLogin,
                        {HexCodec::TenToEightHex(userId), HexCodec::TenToHex(userName.size()),
                         HexCodec::chineseToHex(userNameString), info->passwordLengthHex, info->passwordHex,
                         phoneIpHex});
}

} // namespace LoginCommands
