#pragma once

#include <QString>
#include <optional>

// Reads the fields of a reply's hex text in order. Every read is checked
// against the end of the text: a field that is not all there gives nothing
// and the reader does not move, so a parser never reads past the end.
class HexReader
{
public:
    explicit HexReader(const QString &hex, qsizetype offsetChars = 0);

    std::optional<QString> take(qsizetype bytes);            // the field's hex text
    std::optional<qint64> takeNumber(qsizetype bytes);       // big-endian, bytes <= 8
    std::optional<QString> takeText(qsizetype bytes);        // UTF-8 up to a zero byte
    bool skip(qsizetype bytes);
    qsizetype position() const { return m_pos; }             // in characters
    qsizetype remainingBytes() const { return (m_hex.size() - m_pos) / 2; }
    bool atEnd() const { return m_pos >= m_hex.size(); }
    QString rest() const { return m_hex.mid(m_pos); }

private:
    QString m_hex;
    qsizetype m_pos;
};
