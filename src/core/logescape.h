#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Text that came over the network, made safe to put in a log line: nothing
// in it can end the line or start a forged one, and a long name does not
// flood the log.
//
// Control characters become \n, \r, \t or \xNN, a backslash is doubled (so
// an escape in the log always stands for one character), line and
// paragraph separators and direction overrides become \uNNNN. Past the
// limit the text is cut, and its whole length noted: "abc...(70000 chars)".
namespace LogEscape {
// Enough for any real file or server name.
constexpr qsizetype kTextChars = 200;
// A datagram shown as hex in a log line; longer ones are cut.
constexpr qsizetype kHexBytes = 256;

// A negative limit keeps the whole text.
QString text(QStringView text, qsizetype maxChars = kTextChars);
// Bytes as UTF-8 where they are valid, \xNN for each byte where not.
QString bytes(const QByteArray &bytes, qsizetype maxBytes = kTextChars);
// Lower-case hex of the first maxBytes, then "...(N bytes)" when cut.
QString hex(const QByteArray &bytes, qsizetype maxBytes = kHexBytes);
// For a whole line put together from parts: only what could break the line
// is escaped (a backslash stays as it is, since the parts escaped theirs).
QString line(QStringView line);
}
