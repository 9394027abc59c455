#pragma once

#include "simfamily.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QString>

// The timed-play schemes of every window.
//
// Requests: 5301 (the schemes of a window, answered by one 5602 per scheme
// in id order, every one but the last followed by ff00; nothing when the
// window has none), 5303 (the files of a scheme, one 5603 per file, marked
// the same way) and 5602, which comes in two shapes: a scheme's parameter
// frame, then its file frames (every one but the last ending with ff). When
// the last file frame arrives the scheme is stored, replacing one of the
// same window and id.
//
// The schemes it starts with come from its config (SimConfig::schemes).
// From the phone it stores schemes only for the server's own windows, at
// most SimLimits::schemesPerWindow of them, each with at most
// SimLimits::filesPerScheme files of at most SimLimits::nameBytes; a scheme
// over a limit is not stored. A few phones may each have one scheme under
// way; past kMaxPending the oldest is dropped.
class TimedPlayFamily : public SimFamily
{
public:
    struct Scheme
    {
        quint8 window = 0x01;
        quint8 id = 0x01;
        QByteArray name; // UTF-8, as the phone wrote it
        quint8 clockType = 0;
        quint16 clockX = 0, clockY = 0, clockW = 0, clockH = 0;
        quint8 wordIsExist = 0, wordSpeed = 0, wordColor = 0, wordDirection = 0, wordSize = 0;
        quint16 wordX = 0, wordY = 0, wordZ = 0;
        QByteArray words;    // UTF-8
        QByteArray schedule; // UTF-8, "yyyy/MM/dd~yyyy/MM/dd#HH:mm:ss~HH:mm:ss;" per range
        QList<QByteArray> files;
    };

    QString name() const override { return QStringLiteral("timedplay"); }
    void install(SimRoutes &routes) override;
    // {"windows": {"01": [scheme, ...]}}; each scheme a map of its fields
    // (texts decoded, words and schedule also as hex, files as a list).
    QVariantMap state() const override;

    // Stores or replaces the scheme of its window and id.
    void addScheme(const Scheme &scheme);
    QList<Scheme> schemes(quint8 window) const;
    // The scheme frames a phone has begun and not yet finished, by sender.
    int pendingCount() const { return int(m_pending.size()); }
    static constexpr int kMaxPending = 16;

private:
    struct Pending
    {
        Scheme scheme;
        qint64 serial = 0;   // the order schemes were begun in
        QString refusal;     // why it will not be stored, once known
    };

    void preload();
    void listQuery(const SimRequest &q);
    void detailQuery(const SimRequest &q);
    void schemeFrame(const SimRequest &q);
    // A file frame of the pending scheme: true when the frame has that shape.
    bool fileFrame(const SimRequest &q, const QString &sender);
    bool parameterFrame(const SimRequest &q, const QString &sender);
    QByteArray schemeReply(const Scheme &s) const;
    void sendSequence(const QHostAddress &phone, const QList<QByteArray> &replies, const QString &what);
    bool hasWindow(quint8 window) const;
    static QString logText(const QByteArray &utf8);

    QMap<quint8, QMap<quint8, Scheme>> m_windows;
    QMap<QString, Pending> m_pending; // by the sender's address and port
    qint64 m_serial = 0;
};
