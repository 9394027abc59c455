#include "protocol/hexreader.h"

#include "protocol/hexcodec.h"

HexReader::HexReader(const QString &hex, qsizetype offsetChars)
    : m_hex(hex), m_pos(qBound<qsizetype>(0, offsetChars, hex.size()))
{
}

std::optional<QString> HexReader::take(qsizetype bytes)
{
    if (bytes < 0 || m_pos + 2 * bytes > m_hex.size())
        return std::nullopt;
    QString field = m_hex.mid(m_pos, 2 * bytes);
    m_pos += 2 * bytes;
    return field;
}

std::optional<qint64> HexReader::takeNumber(qsizetype bytes)
{
    if (bytes > 8)
        return std::nullopt;
    const qsizetype start = m_pos;
    auto field = take(bytes);
    if (!field)
        return std::nullopt;
    bool ok = false;
    const quint64 v = field->isEmpty() ? 0 : field->toULongLong(&ok, 16);
    if (!field->isEmpty() && !ok) {
        m_pos = start;
        return std::nullopt;
    }
    return qint64(v);
}

std::optional<QString> HexReader::takeText(qsizetype bytes)
{
    const qsizetype start = m_pos;
    auto field = take(bytes);
    if (!field)
        return std::nullopt;
    auto text = HexCodec::stringFromHexString(*field);
    if (!text) {
        m_pos = start;
        return std::nullopt;
    }
    return text;
}

bool HexReader::skip(qsizetype bytes)
{
    return take(bytes).has_value();
}
