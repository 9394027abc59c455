#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>

// Frames as the server sees them, written and read here with our own code
// (only the hex text conversions come from the client's codec), so that a
// layout mistake on the client's side shows up against this one.
namespace SimFrame {
constexpr qsizetype kHeaderSize = 6; // 41 4E 44, direction, command, sub-command
constexpr char kRequest = 0x01;
constexpr char kReply = 0x02;

bool hasSignature(const QByteArray &datagram, char direction);
// Command and sub-command as one number (0x5002); the datagram must hold a header.
quint16 code(const QByteArray &datagram);
// "5002", "5a02": how codes appear in the log and in the catalogue.
QString codeText(quint16 code);
}

// Builds a reply: 41 4E 44 02, the code, then the fields in order, every
// number big-endian.
class SimFrameWriter
{
public:
    explicit SimFrameWriter(quint16 replyCode);

    SimFrameWriter &u8(quint8 value);
    SimFrameWriter &u16(quint16 value);
    SimFrameWriter &u32(quint32 value);
    SimFrameWriter &bytes(const QByteArray &value);
    // 2-byte byte count, then the UTF-8 bytes. Longer than a count can say
    // is cut at 65535 bytes so that count and bytes still agree.
    SimFrameWriter &text16(const QString &value);
    SimFrameWriter &ipv4(const QHostAddress &address); // first octet first; 0.0.0.0 when not IPv4

    const QByteArray &frame() const { return m_frame; }
    QString hex() const;

private:
    QByteArray m_frame;
};

// Reads the fields of a request in order. Once a field does not fit, every
// later read gives zero or empty and ok() stays false, so a handler reads all
// its fields and checks once; error() names the first field that was cut.
class SimReader
{
public:
    explicit SimReader(const QByteArray &data, qsizetype position = 0);

    quint8 u8(const char *field);
    quint16 u16(const char *field);
    quint32 u32(const char *field);
    QByteArray bytes(qsizetype count, const char *field);
    QString text16(const char *field); // 2-byte byte count, then UTF-8
    QHostAddress ipv4(const char *field);

    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    qsizetype position() const { return m_position; }
    qsizetype remaining() const { return m_data.size() - m_position; }

private:
    bool take(qsizetype count, const char *field);

    QByteArray m_data;
    qsizetype m_position;
    QString m_error;
};
