#include "protocol/hexcodec.h"

#include "core/logging.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <climits>
#include <limits>

namespace {
int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

// An octet of a dotted address: its leading integer, none below 0.
qint64 octetValue(const QString &s)
{
    return qBound(qint64(0), HexCodec::integerValue(s), qint64(INT_MAX));
}
}

QString HexCodec::numberToHex(qint64 value, int width, int cap)
{
    static const char digits[] = "0123456789abcdef";
    // Negative values have no defined result; reading them as unsigned keeps
    // the arithmetic defined.
    quint64 v = quint64(value);
    QString out;
    int written = 0;
    do {
        out.prepend(QLatin1Char(digits[v % 16]));
        v /= 16;
        ++written;
    } while (v != 0 && written < cap);
    if (out.size() < width)
        out.prepend(QString(width - out.size(), QLatin1Char('0')));
    return out;
}

QString HexCodec::TenToHexForTwo(qint64 value) { return numberToHex(value, 2, 9); }
QString HexCodec::TenToHex(qint64 value) { return numberToHex(value, 4, 15); }
QString HexCodec::TenToEightHex(qint64 value) { return numberToHex(value, 8, 9); }

QString HexCodec::TenToHexWitheightHex(qint64 value)
{
    qevaLog(lcProtocol, QStringLiteral("tmpid = %1").arg(value));
    return numberToHex(value, 16, 20);
}

QString HexCodec::chineseToHex(const QString &text)
{
    return NSDataToByteTohex(text.toUtf8());
}

QString HexCodec::NSDataToByteTohex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

QString HexCodec::hexString(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

std::optional<QString> HexCodec::stringFromHexString(const QString &hex)
{
    const qsizetype length = hex.size();
    QByteArray buffer(length / 2 + 1, '\0');
    for (qsizetype i = 0; i + 1 < length; i += 2) {
        const int hi = hexDigit(hex.at(i));
        const int lo = hexDigit(hex.at(i + 1));
        // A pair that is not hex has no defined byte; a zero ends the text there.
        buffer[i / 2] = char((hi < 0 || lo < 0) ? 0 : (hi << 4 | lo));
    }
    const QByteArray text(buffer.constData()); // up to the first zero byte
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString result = decoder.decode(text);
    if (decoder.hasError())
        return std::nullopt;
    return result;
}

std::optional<QByteArray> HexCodec::hexStringToByteToNSData(const QString &hex)
{
    QString text = hex.toUpper();
    text.remove(QLatin1Char(' '));
    if (text.size() % 2 != 0)
        return std::nullopt;
    QByteArray out;
    out.reserve(text.size() / 2);
    for (qsizetype i = 0; i < text.size(); i += 2) {
        const QChar a = text.at(i), b = text.at(i + 1);
        auto ok = [](QChar c) {
            return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
        };
        if (!ok(a) || !ok(b))
            return std::nullopt;
        out.append(char(hexDigit(a) << 4 | hexDigit(b)));
    }
    return out;
}

std::optional<QString> HexCodec::changTohostIpWithHostIpString(const QString &hexIp)
{
    if (hexIp.size() != 8)
        return std::nullopt;
    int octets[4];
    for (int i = 0; i < 4; ++i) {
        const int hi = hexDigit(hexIp.at(2 * i)), lo = hexDigit(hexIp.at(2 * i + 1));
        if (hi < 0 || lo < 0)
            return std::nullopt;
        octets[i] = hi << 4 | lo;
    }
    return QStringLiteral("%1.%2.%3.%4").arg(octets[0]).arg(octets[1]).arg(octets[2]).arg(octets[3]);
}

QString HexCodec::changToHexIpWithHostIpString(const QString &dottedIp)
{
    QString out;
    for (const QString &part : dottedIp.split(QLatin1Char('.')))
        out += TenToHexForTwo(octetValue(part));
    return out;
}

qint64 HexCodec::integerValue(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        negative = text.at(i++) == QLatin1Char('-');
    const quint64 limit = negative ? quint64(std::numeric_limits<qint64>::max()) + 1
                                   : quint64(std::numeric_limits<qint64>::max());
    quint64 v = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i) {
        const quint64 digit = quint64(text.at(i).unicode() - '0');
        if (v > (limit - digit) / 10) {
            v = limit;
            break;
        }
        v = v * 10 + digit;
    }
    if (!negative)
        return qint64(v);
    return v == limit ? std::numeric_limits<qint64>::min() : -qint64(v);
}

bool HexCodec::isExsitTheStringWithCheckString(const QString &check, const QString &old)
{
    if (old.size() < check.size() || check.isEmpty())
        return false;
    return old.contains(check, Qt::CaseInsensitive);
}

QString HexCodec::returnReplaceNull(const QVariant &object)
{
    if (!object.isValid() || object.isNull())
        return QString();
    const QString text = object.toString();
    if (text.isEmpty() || text == QLatin1String("(null)") || text == QLatin1String("<null>"))
        return QString();
    return text;
}

int HexCodec::getRandomNumber(int from, int to)
{
    const quint32 f = quint32(from), t = quint32(to);
    const quint32 r = QRandomGenerator::global()->generate();
    const quint32 span = t - f + 1; // 0 when the range is all of 32 bits
    return int(span == 0 ? f + r : f + (r % span));
}
