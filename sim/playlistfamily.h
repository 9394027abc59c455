#pragma once

#include "simfamily.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// The play list of every window and the files the server keeps.
//
// Requests: 5701 (list, answered by one 5601 per entry or one 5605), 5703
// (play an entry), 5704 (play control), 5705 (play mode), 5706 (check
// state), 5707 (volume), 5708 (clear), 5603 (delete an entry), 5304 (server
// files, answered by one 5604 per file) and 5601 (append server files).
// A 5101 play state goes out whenever the playing entry or its place in the
// list changes.
//
// Other families reach it through server().family<PlayListFamily>() (a
// received file goes on a window's list and plays).
//
// The server's files and the play lists it starts with come from its
// config (SimConfig::serverFiles, playLists). A 5601 appends only a
// server file or a received one, as a real server would; a list holds at
// most SimLimits::playListEntries names of at most SimLimits::nameBytes.
class PlayListFamily : public SimFamily
{
public:
    // Play control orders (5704) as the phone's play buttons send them.
    enum Order : quint8 { Play = 0x00, Previous = 0x01, Pause = 0x02, Stop = 0x03, Next = 0x04 };
    static constexpr int kMaxVolume = 100; // a reply's volume byte stays clear of the list marker

    QString name() const override { return QStringLiteral("playlist"); }
    void install(SimRoutes &routes) override;
    QVariantMap state() const override;

    // Appends name to the window's list (a window not seen yet gets one).
    void addFile(quint8 window, const QString &name);
    // The same with the name's bytes as they stand (tests: names that are
    // not UTF-8). False when the name cannot be held (see acceptableName)
    // or the list is full.
    bool addFileBytes(quint8 window, const QByteArray &name);
    // Makes name the window's playing entry and sends the play-state reply
    // (5101) to phone; false when the window has no entry of that name.
    bool playFile(quint8 window, const QString &name, const QHostAddress &phone);

    // Files stored on the server, answered to 5304 in this order.
    bool addServerFile(const QString &name);
    bool addServerFileBytes(const QByteArray &name);
    // Forgets a window's list (the window was closed).
    void removeWindow(quint8 window);
    void setVolume(quint8 window, quint8 volume);
    void setChecked(quint8 window, int index, bool checked);

    // Tests only: every reply of a sequence, the last one too, ends with
    // ff00, so that a phone never sees the end.
    void setMarkLastReply(bool mark) { m_markLast = mark; }

    QStringList files(quint8 window) const;
    QList<bool> checkedStates(quint8 window) const;
    QString playing(quint8 window) const; // empty: nothing is playing
    int playingIndex(quint8 window) const { return m_windows.value(window).playing; }
    quint8 volume(quint8 window) const { return m_windows.value(window).volume; }
    QString playState(quint8 window) const;
    QStringList serverFiles() const;

    // A name the replies can carry: 1 to 65535 bytes, and its byte count
    // and bytes together never read as the list marker ff00 (or the end of
    // a list would depend on a file's name).
    static bool acceptableName(const QByteArray &name);

private:
    struct Entry
    {
        QByteArray name;
        bool checked = true;
    };
    struct Window
    {
        QList<Entry> entries;
        int playing = -1;            // index in entries
        Order state = Stop;          // what the last play control asked for
        quint8 volume = 5;
    };

    void preload();
    // The server's own copy of a name it may list, or nothing.
    std::optional<QByteArray> knownFile(const QByteArray &name) const;
    void listQuery(const SimRequest &q);
    void playSingle(const SimRequest &q);
    void playControl(const SimRequest &q);
    void playMode(const SimRequest &q);
    void checkState(const SimRequest &q);
    void windowVolume(const SimRequest &q);
    void clearList(const SimRequest &q);
    void deleteEntry(const SimRequest &q);
    void serverFilesQuery(const SimRequest &q);
    void appendFiles(const SimRequest &q);

    // 5101 to every phone that logged in and to extra (when not null).
    void announcePlaying(quint8 window, const QHostAddress &extra);
    // Moves the playing entry; a 5101 when it changed.
    void setPlaying(quint8 window, int index, const QHostAddress &extra);
    // Sends one reply per item, every one but the last marked with ff00.
    void sendSequence(const QHostAddress &phone, const QList<QByteArray> &replies);
    QByteArray listReply(const Window &w, int index, bool last) const;
    static QString text(const QByteArray &name);
    static QString logText(const QByteArray &name);
    static QString windowText(quint8 window);

    QMap<quint8, Window> m_windows;
    QList<QByteArray> m_serverFiles;
    bool m_markLast = false;
};
