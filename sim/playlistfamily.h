#pragma once

#include "simfamily.h"

#include <QHostAddress>
#include <QMap>
#include <QString>
#include <QStringList>

// The play list of every window and the files the server keeps. Other
// families reach it through server().family<PlayListFamily>() (a received
// file goes on a window's list and plays).
class PlayListFamily : public SimFamily
{
public:
    PlayListFamily();

    QString name() const override { return QStringLiteral("playlist"); }
    void install(SimRoutes &routes) override;
    QVariantMap state() const override;

    // Appends name to the window's list (a window not seen yet gets one).
    void addFile(quint8 window, const QString &name);
    // Makes name the window's playing entry and sends the play-state reply
    // (5101) to phone; false when the window has no entry of that name.
    bool playFile(quint8 window, const QString &name, const QHostAddress &phone);

    QStringList files(quint8 window) const;
    QString playing(quint8 window) const; // empty: nothing is playing
    QStringList serverFiles() const { return m_serverFiles; }

private:
    struct Entry
    {
        QString name;
        bool checked = true;
    };
    struct Window
    {
        QList<Entry> entries;
        int playing = -1; // index in entries
        quint8 playState = 0; // what 5704 last asked for
        quint8 volume = 5;
    };

    struct Impl;
    friend struct Impl;

    QMap<quint8, Window> m_windows;
    QStringList m_serverFiles;
};
