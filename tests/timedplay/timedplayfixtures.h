#pragma once

#include "protocol/timedplaycommands.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

// A scheme reply as a server writes it, field by field, written here without
// the client's parser so that a layout mistake in one shows against the other.
struct SchemeFields
{
    QString window = QStringLiteral("01");
    QString id = QStringLiteral("01");
    QString name;
    QString clockType = QStringLiteral("00");
    QStringList clock{QStringLiteral("0000"), QStringLiteral("0000"), QStringLiteral("0000"), QStringLiteral("0000")};
    QString wordIsExist = QStringLiteral("00");
    QString wordSpeed = QStringLiteral("00");
    QString wordColor = QStringLiteral("00");
    QString wordFangxiang = QStringLiteral("00");
    QString wordSize = QStringLiteral("00");
    QStringList wordPosition{QStringLiteral("0000"), QStringLiteral("0000"), QStringLiteral("0000")};
    QString words;
    QString schedule;
};

inline QString counted(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return QStringLiteral("%1").arg(utf8.size(), 4, 16, QLatin1Char('0')) + QString::fromLatin1(utf8.toHex());
}

inline QString schemeReplyHex(const SchemeFields &s, bool more)
{
    return QStringLiteral("414e44025602") + s.window + s.id + counted(s.name) + s.clockType + s.clock.join(QString()) +
           s.wordIsExist + s.wordSpeed + s.wordColor + s.wordFangxiang + s.wordSize + s.wordPosition.join(QString()) +
           counted(s.words) + counted(s.schedule) + (more ? QStringLiteral("ff00") : QString());
}

inline SchemeFields namedScheme(const QString &id, const QString &name)
{
    SchemeFields s;
    s.id = id;
    s.name = name;
    s.schedule = QStringLiteral("2016/03/01~2016/03/31#08:00:00~18:00:00;");
    return s;
}

// A scheme file reply: window, scheme, then the counted name.
inline QString fileReplyHex(const QString &path, bool more, const QString &window = QStringLiteral("01"),
                            const QString &id = QStringLiteral("01"))
{
    return QStringLiteral("414e44025603") + window + id + counted(path) + (more ? QStringLiteral("ff00") : QString());
}

// A server-file entry as the server files screen hands it over.
inline QVariantMap serverFile(const QString &path, const QString &checked = QStringLiteral("YES"))
{
    const QByteArray utf8 = path.toUtf8();
    return {{QStringLiteral("filesLenHex"), QStringLiteral("%1").arg(utf8.size(), 4, 16, QLatin1Char('0'))},
            {QStringLiteral("filesContentHex"), QString::fromLatin1(utf8.toHex())},
            {QStringLiteral("filesContent"), path},
            {QStringLiteral("checked"), checked}};
}

// Every field small and distinct: a frame of 01 02 "ab" clock 01 (10, 20,
// 100, 50), text on, speed 5, colour 0c, direction 04, size 16, at (1, 2,
// 0), "hi", schedule "x;".
inline TimedPlayCommands::TimePlayParamFields sampleParamFields()
{
    TimedPlayCommands::TimePlayParamFields f;
    f.windowID = QStringLiteral("01");
    f.projectIDHex = QStringLiteral("02");
    f.projectNameLenHex = QStringLiteral("0002");
    f.projectNameHex = QStringLiteral("6162");
    f.clockTypeHex = QStringLiteral("01");
    f.clockXHex = QStringLiteral("000a");
    f.clockYHex = QStringLiteral("0014");
    f.clockWHex = QStringLiteral("0064");
    f.clockHHex = QStringLiteral("0032");
    f.wordIsExistHex = QStringLiteral("01");
    f.wordSpeedHex = QStringLiteral("05");
    f.wordColorHex = QStringLiteral("0c");
    f.wordFangxiangHex = QStringLiteral("04");
    f.wordSizeHex = QStringLiteral("10");
    f.wordXHex = QStringLiteral("0001");
    f.wordYHex = QStringLiteral("0002");
    f.wordZHex = QStringLiteral("0000");
    f.wordsLenHex = QStringLiteral("0002");
    f.wordsHex = QStringLiteral("6869");
    f.timeLenHex = QStringLiteral("0002");
    f.timeHex = QStringLiteral("783b");
    return f;
}
