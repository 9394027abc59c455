#include "simframe.h"

#include "protocol/hexcodec.h"

#include <QtEndian>

namespace SimFrame {
bool hasSignature(const QByteArray &datagram, char direction)
{
    return datagram.size() >= kHeaderSize && datagram.at(0) == 'A' && datagram.at(1) == 'N' &&
           datagram.at(2) == 'D' && datagram.at(3) == direction;
}

quint16 code(const QByteArray &datagram)
{
    return quint16(quint8(datagram.at(4)) << 8 | quint8(datagram.at(5)));
}

QString codeText(quint16 code)
{
    return QStringLiteral("%1").arg(code, 4, 16, QLatin1Char('0'));
}
}

SimFrameWriter::SimFrameWriter(quint16 replyCode)
{
    m_frame = QByteArrayLiteral("AND");
    m_frame.append(SimFrame::kReply);
    u16(replyCode);
}

SimFrameWriter &SimFrameWriter::u8(quint8 value)
{
    m_frame.append(char(value));
    return *this;
}

SimFrameWriter &SimFrameWriter::u16(quint16 value)
{
    char b[2];
    qToBigEndian(value, b);
    m_frame.append(b, 2);
    return *this;
}

SimFrameWriter &SimFrameWriter::u32(quint32 value)
{
    char b[4];
    qToBigEndian(value, b);
    m_frame.append(b, 4);
    return *this;
}

SimFrameWriter &SimFrameWriter::bytes(const QByteArray &value)
{
    m_frame.append(value);
    return *this;
}

SimFrameWriter &SimFrameWriter::text16(const QString &value)
{
    const QByteArray utf8 = value.toUtf8().left(0xffff);
    u16(quint16(utf8.size()));
    return bytes(utf8);
}

SimFrameWriter &SimFrameWriter::ipv4(const QHostAddress &address)
{
    bool isV4 = false;
    const quint32 v = address.toIPv4Address(&isV4);
    return u32(isV4 ? v : 0);
}

QString SimFrameWriter::hex() const
{
    return HexCodec::hexString(m_frame);
}

SimReader::SimReader(const QByteArray &data, qsizetype position) : m_data(data), m_position(position)
{
    if (position > data.size())
        m_error = QStringLiteral("starts past the end (%1 bytes)").arg(data.size());
}

bool SimReader::take(qsizetype count, const char *field)
{
    if (!ok())
        return false;
    if (count < 0 || count > remaining()) {
        m_error = QStringLiteral("%1 cut short at byte %2: needs %3, has %4")
                      .arg(QLatin1String(field))
                      .arg(m_position)
                      .arg(count)
                      .arg(remaining());
        return false;
    }
    return true;
}

quint8 SimReader::u8(const char *field)
{
    if (!take(1, field))
        return 0;
    return quint8(m_data.at(m_position++));
}

quint16 SimReader::u16(const char *field)
{
    if (!take(2, field))
        return 0;
    const quint16 v = qFromBigEndian<quint16>(m_data.constData() + m_position);
    m_position += 2;
    return v;
}

quint32 SimReader::u32(const char *field)
{
    if (!take(4, field))
        return 0;
    const quint32 v = qFromBigEndian<quint32>(m_data.constData() + m_position);
    m_position += 4;
    return v;
}

QByteArray SimReader::bytes(qsizetype count, const char *field)
{
    if (!take(count, field))
        return {};
    const QByteArray out = m_data.mid(m_position, count);
    m_position += count;
    return out;
}

QString SimReader::text16(const char *field)
{
    const quint16 length = u16(field);
    return QString::fromUtf8(bytes(length, field));
}

QHostAddress SimReader::ipv4(const char *field)
{
    if (!take(4, field))
        return {};
    return QHostAddress(u32(field));
}
