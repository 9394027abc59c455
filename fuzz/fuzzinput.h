#pragma once

// What the fuzz targets share: the application they need, and a reading of
// one input as a sequence of records.

#include <QByteArray>
#include <QCoreApplication>
#include <cstddef>
#include <cstdint>

// A Qt application for the life of the process (sockets, timers, files).
inline void fuzzApplication(const char *name)
{
    static int argc = 1;
    static char program[64] = {};
    static char *argv[] = {program, nullptr};
    if (QCoreApplication::instance())
        return;
    qstrncpy(program, name, sizeof program);
    new QCoreApplication(argc, argv);
}

// An input that begins with the frame signature "AND" is one datagram as it
// stands, so that a frame written from a layout is a seed by itself. Any
// other input is a sequence of records: a kind byte (each target gives it
// its meaning), a 2-byte big-endian length, then that many bytes (fewer
// when the input ends first).
class FuzzRecords
{
public:
    FuzzRecords(const uint8_t *data, size_t size)
        : m_data(reinterpret_cast<const char *>(data)), m_size(qsizetype(size))
    {
    }

    bool isOneFrame() const { return m_size >= 3 && m_data[0] == 'A' && m_data[1] == 'N' && m_data[2] == 'D'; }
    QByteArray whole() const { return QByteArray(m_data, m_size); }

    bool next(quint8 &kind, QByteArray &bytes)
    {
        if (m_at + 3 > m_size)
            return false;
        kind = quint8(m_data[m_at]);
        const qsizetype length = qsizetype(quint8(m_data[m_at + 1]) << 8 | quint8(m_data[m_at + 2]));
        m_at += 3;
        const qsizetype take = qMin(length, m_size - m_at);
        bytes = QByteArray(m_data + m_at, take);
        m_at += take;
        return true;
    }

private:
    const char *m_data;
    qsizetype m_size;
    qsizetype m_at = 0;
};
