#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A server-information reply written field by field, as a server sends it.
struct Announcement
{
    QString userId = QStringLiteral("0000abcd");
    QByteArray name = QByteArrayLiteral("Alpha");
    QByteArray password = QByteArrayLiteral("468");
    QStringList windows{QStringLiteral("01000000"), QStringLiteral("02010000")};
    int windowCount = -1;                              // -1: as many as the records
    QString addressHex = QStringLiteral("7f000002");   // 127.0.0.2
    QString tail = QStringLiteral("01");

    QString rest() const { return windows.join(QString()) + addressHex + tail; }
    QString hex() const
    {
        const int count = windowCount < 0 ? int(windows.size()) : windowCount;
        return QStringLiteral("414e44025001") + userId + QString::asprintf("%04x", int(name.size()))
            + QString::fromLatin1(name.toHex()) + QString::asprintf("%04x", int(password.size()))
            + QString::fromLatin1(password.toHex()) + QString::asprintf("%02x", count) + rest();
    }
    QByteArray bytes() const { return QByteArray::fromHex(hex().toLatin1()); }
};
