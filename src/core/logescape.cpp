#include "core/logescape.h"

#include <algorithm>

namespace {
// Characters that would end a line, or make it read as something else on a
// terminal, whatever the text around them.
bool breaksLine(char32_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x2028 || c == 0x2029 || (c >= 0x202a && c <= 0x202e)
           || (c >= 0x2066 && c <= 0x2069) || (c >= 0xd800 && c <= 0xdfff);
}

void appendEscaped(QString &out, char32_t c, bool escapeBackslash)
{
    if (c == U'\\') {
        out += escapeBackslash ? QStringLiteral("\\\\") : QStringLiteral("\\");
        return;
    }
    if (!breaksLine(c)) {
        if (QChar::requiresSurrogates(c))
            out += QChar(QChar::highSurrogate(c)), out += QChar(QChar::lowSurrogate(c));
        else
            out += QChar(char16_t(c));
        return;
    }
    switch (c) {
    case U'\n': out += QLatin1String("\\n"); return;
    case U'\r': out += QLatin1String("\\r"); return;
    case U'\t': out += QLatin1String("\\t"); return;
    default: break;
    }
    if (c < 0x80)
        out += QStringLiteral("\\x%1").arg(uint(c), 2, 16, QLatin1Char('0'));
    else
        out += QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0'));
}

// Whether the text can go into a line as it stands (the usual case).
bool isClean(QStringView text, bool escapeBackslash)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c >= 0x20 && c < 0x7f && !(escapeBackslash && c == u'\\'))
            continue;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c < 0x7f || breaksLine(c))
            return false;
    }
    return true;
}

QString escapeString(QStringView text, qsizetype maxChars, bool escapeBackslash)
{
    if ((maxChars < 0 || text.size() <= maxChars) && isClean(text, escapeBackslash))
        return text.toString();
    QString out;
    qsizetype i = 0;
    const qsizetype end = maxChars < 0 ? text.size() : std::min(text.size(), maxChars);
    out.reserve(end + 8);
    while (i < end) {
        char32_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            i += 2;
        } else {
            ++i;
        }
        appendEscaped(out, c, escapeBackslash);
    }
    if (i < text.size())
        out += QStringLiteral("...(%1 chars)").arg(text.size());
    return out;
}

// The length of the valid UTF-8 sequence at data[i], or 0.
int utf8Length(const uchar *data, qsizetype size, qsizetype i, char32_t *code)
{
    const uchar lead = data[i];
    int length = 0;
    char32_t c = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        *code = lead;
        return 1;
    } else if ((lead & 0xe0) == 0xc0) {
        length = 2, c = lead & 0x1f, min = 0x80;
    } else if ((lead & 0xf0) == 0xe0) {
        length = 3, c = lead & 0x0f, min = 0x800;
    } else if ((lead & 0xf8) == 0xf0) {
        length = 4, c = lead & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > size)
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((data[i + k] & 0xc0) != 0x80)
            return 0;
        c = c << 6 | (data[i + k] & 0x3f);
    }
    // Overlong forms, surrogates and values past Unicode are not UTF-8.
    if (c < min || c > 0x10ffff || (c >= 0xd800 && c <= 0xdfff))
        return 0;
    *code = c;
    return length;
}
}

namespace LogEscape {

QString text(QStringView text, qsizetype maxChars)
{
    return escapeString(text, maxChars, true);
}

QString line(QStringView line)
{
    return escapeString(line, -1, false);
}

QString bytes(const QByteArray &bytes, qsizetype maxBytes)
{
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype end = maxBytes < 0 ? bytes.size() : std::min(bytes.size(), maxBytes);
    QString out;
    out.reserve(end + 8);
    qsizetype i = 0;
    while (i < end) {
        char32_t c = 0;
        const int length = utf8Length(data, bytes.size(), i, &c);
        if (length == 0 || i + length > end) {
            if (length > 0)
                break; // a character the cut would split
            out += QStringLiteral("\\x%1").arg(uint(data[i]), 2, 16, QLatin1Char('0'));
            ++i;
            continue;
        }
        appendEscaped(out, c, true);
        i += length;
    }
    if (i < bytes.size())
        out += QStringLiteral("...(%1 bytes)").arg(bytes.size());
    return out;
}

QString hex(const QByteArray &bytes, qsizetype maxBytes)
{
    if (maxBytes < 0 || bytes.size() <= maxBytes)
        return QString::fromLatin1(bytes.toHex());
    return QString::fromLatin1(bytes.left(maxBytes).toHex()) + QStringLiteral("...(%1 bytes)").arg(bytes.size());
}

}
