#include "timedplayfamily.h"

#include "core/logescape.h"
#include "simfamilies.h"
#include "simserver.h"

#include <QVariantList>
#include <algorithm>

namespace {
const QByteArray kMore = QByteArray::fromHex("ff00");
constexpr quint8 kMoreFiles = 0xff;
const QByteArray kDefaultSchedule = QByteArrayLiteral("2016/01/01~2016/12/31#08:00:00~18:00:00;");

QString hexByte(quint8 v)
{
    return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0'));
}

QString text(const QByteArray &utf8)
{
    return QString::fromUtf8(utf8);
}

// Both sides of the list marker: a sequence ends at the first reply
// without it, wherever it stands, so a last reply whose own bytes hold it
// keeps the phone waiting.
bool holdsMarker(const QByteArray &frame)
{
    return frame.toHex().contains("ff00");
}
} // namespace

void TimedPlayFamily::install(SimRoutes &routes)
{
    routes.on(SimPort::Control, 0x5301, [this](const SimRequest &q) { listQuery(q); });
    routes.on(SimPort::Control, 0x5303, [this](const SimRequest &q) { detailQuery(q); });
    routes.on(SimPort::Control, 0x5602, [this](const SimRequest &q) { schemeFrame(q); });
    preload();
}

void TimedPlayFamily::preload()
{
    for (const SimSchemeSeed &seed : server().config().schemes) {
        Scheme s;
        s.window = seed.window;
        s.id = seed.id;
        s.name = seed.name.toUtf8();
        s.schedule = kDefaultSchedule;
        for (const QString &file : seed.files)
            s.files << file.toUtf8();
        addScheme(s);
    }
}

QString TimedPlayFamily::logText(const QByteArray &utf8)
{
    return LogEscape::bytes(utf8);
}

bool TimedPlayFamily::hasWindow(quint8 window) const
{
    const QList<SimWindow> windows = server().windows();
    return std::any_of(windows.cbegin(), windows.cend(), [window](const SimWindow &w) { return w.id == window; });
}

void TimedPlayFamily::addScheme(const Scheme &scheme)
{
    const bool replaced = m_windows.value(scheme.window).contains(scheme.id);
    m_windows[scheme.window].insert(scheme.id, scheme);
    logState(QStringLiteral("window %1 scheme %2 \"%3\" %4 with %5 file(s); window %1 has %6 scheme(s)")
                 .arg(hexByte(scheme.window), hexByte(scheme.id), logText(scheme.name),
                      replaced ? QStringLiteral("replaced") : QStringLiteral("stored"))
                 .arg(scheme.files.size())
                 .arg(m_windows.value(scheme.window).size()));
}

QList<TimedPlayFamily::Scheme> TimedPlayFamily::schemes(quint8 window) const
{
    return m_windows.value(window).values();
}

QVariantMap TimedPlayFamily::state() const
{
    QVariantMap windows;
    for (auto w = m_windows.cbegin(); w != m_windows.cend(); ++w) {
        QVariantList list;
        for (const Scheme &s : *w) {
            QStringList files;
            for (const QByteArray &f : s.files)
                files << text(f);
            list << QVariantMap{
                {QStringLiteral("id"), hexByte(s.id)},
                {QStringLiteral("name"), text(s.name)},
                {QStringLiteral("clockType"), int(s.clockType)},
                {QStringLiteral("clock"), QVariantList{s.clockX, s.clockY, s.clockW, s.clockH}},
                {QStringLiteral("wordIsExist"), int(s.wordIsExist)},
                {QStringLiteral("wordSpeed"), int(s.wordSpeed)},
                {QStringLiteral("wordColor"), int(s.wordColor)},
                {QStringLiteral("wordFangxiang"), int(s.wordDirection)},
                {QStringLiteral("wordSize"), int(s.wordSize)},
                {QStringLiteral("wordPosition"), QVariantList{s.wordX, s.wordY, s.wordZ}},
                {QStringLiteral("words"), text(s.words)},
                {QStringLiteral("wordsHex"), QString::fromLatin1(s.words.toHex())},
                {QStringLiteral("schedule"), text(s.schedule)},
                {QStringLiteral("files"), files},
            };
        }
        windows.insert(hexByte(w.key()), list);
    }
    return {{QStringLiteral("windows"), windows}, {QStringLiteral("pending"), pendingCount()}};
}

void TimedPlayFamily::sendSequence(const QHostAddress &phone, const QList<QByteArray> &replies, const QString &what)
{
    for (qsizetype i = 0; i < replies.size(); ++i) {
        const bool last = i + 1 == replies.size();
        if (last && holdsMarker(replies.at(i)))
            log(QStringLiteral("%1: the last reply holds ff00 in its own bytes; the phone will wait for more").arg(what));
        sendReply(phone, last ? replies.at(i) : replies.at(i) + kMore);
    }
}

QByteArray TimedPlayFamily::schemeReply(const Scheme &s) const
{
    SimFrameWriter w(0x5602);
    w.u8(s.window).u8(s.id).u16(quint16(s.name.size())).bytes(s.name);
    w.u8(s.clockType).u16(s.clockX).u16(s.clockY).u16(s.clockW).u16(s.clockH);
    w.u8(s.wordIsExist).u8(s.wordSpeed).u8(s.wordColor).u8(s.wordDirection).u8(s.wordSize);
    w.u16(s.wordX).u16(s.wordY).u16(s.wordZ);
    w.u16(quint16(s.words.size())).bytes(s.words);
    w.u16(quint16(s.schedule.size())).bytes(s.schedule);
    return w.frame();
}

void TimedPlayFamily::listQuery(const SimRequest &q)
{
    SimReader r = q.reader();
    const quint8 window = r.u8("window id");
    const QHostAddress carried = r.ipv4("phone address");
    if (!r.ok())
        return malformed(q, r.error());
    QList<QByteArray> replies;
    for (const Scheme &s : m_windows.value(window))
        replies << schemeReply(s);
    log(QStringLiteral("schemes of window %1: %2").arg(hexByte(window)).arg(replies.size()));
    sendSequence(replyAddress(q, carried), replies, QStringLiteral("schemes of window %1").arg(hexByte(window)));
}

void TimedPlayFamily::detailQuery(const SimRequest &q)
{
    SimReader r = q.reader();
    const quint8 window = r.u8("window id");
    const quint8 id = r.u8("scheme id");
    const QHostAddress carried = r.ipv4("phone address");
    if (!r.ok())
        return malformed(q, r.error());
    const auto schemes = m_windows.value(window);
    if (!schemes.contains(id)) {
        log(QStringLiteral("files of window %1 scheme %2: no such scheme").arg(hexByte(window), hexByte(id)));
        return;
    }
    QList<QByteArray> replies;
    for (const QByteArray &file : schemes.value(id).files)
        replies << SimFrameWriter(0x5603).u8(window).u8(id).u16(quint16(file.size())).bytes(file).frame();
    log(QStringLiteral("files of window %1 scheme %2: %3").arg(hexByte(window), hexByte(id)).arg(replies.size()));
    sendSequence(replyAddress(q, carried), replies,
                 QStringLiteral("files of window %1 scheme %2").arg(hexByte(window), hexByte(id)));
}

void TimedPlayFamily::schemeFrame(const SimRequest &q)
{
    const QString sender = QStringLiteral("%1:%2").arg(q.sender.toString()).arg(q.senderPort);
    // After a parameter frame, what has the shape of a file frame is one;
    // anything else starts a new scheme.
    if (m_pending.contains(sender) && fileFrame(q, sender))
        return;
    if (parameterFrame(q, sender))
        return;
    SimReader r = q.reader();
    const quint16 length = r.u16("name length");
    r.bytes(length, "name");
    r.u8("end byte");
    if (r.ok() && r.remaining() == 0)
        log(QStringLiteral("scheme file frame from %1 without a parameter frame: dropped").arg(sender));
    else
        malformed(q, QStringLiteral("neither a scheme parameter frame nor a file frame"));
}

bool TimedPlayFamily::fileFrame(const SimRequest &q, const QString &sender)
{
    SimReader r = q.reader();
    const quint16 length = r.u16("name length");
    const QByteArray name = r.bytes(length, "name");
    const quint8 end = r.u8("end byte");
    if (!r.ok() || r.remaining() != 0)
        return false;
    Pending &p = m_pending[sender];
    Scheme &s = p.scheme;
    const SimLimits &limits = server().config().limits;
    if (p.refusal.isEmpty() && s.files.size() >= limits.filesPerScheme)
        p.refusal = QStringLiteral("more than %1 files").arg(limits.filesPerScheme);
    if (p.refusal.isEmpty() && name.size() > limits.nameBytes)
        p.refusal = QStringLiteral("a file name longer than %1 bytes").arg(limits.nameBytes);
    if (p.refusal.isEmpty()) {
        s.files << name;
        log(QStringLiteral("window %1 scheme %2 file %3: %4")
                .arg(hexByte(s.window), hexByte(s.id))
                .arg(s.files.size())
                .arg(logText(name)));
    }
    if (end == kMoreFiles)
        return true;
    // The phone counts the hex characters of the length and the name.
    const quint8 expected = quint8((4 + 2 * int(length)) % 100);
    if (end != expected)
        log(QStringLiteral("window %1 scheme %2: closing byte %3, expected %4")
                .arg(hexByte(s.window), hexByte(s.id), hexByte(end), hexByte(expected)));
    const Pending done = m_pending.take(sender);
    if (!done.refusal.isEmpty()) {
        log(QStringLiteral("window %1 scheme %2 not stored: %3")
                .arg(hexByte(done.scheme.window), hexByte(done.scheme.id), done.refusal));
        return true;
    }
    const QMap<quint8, Scheme> stored = m_windows.value(done.scheme.window);
    if (!stored.contains(done.scheme.id) && stored.size() >= limits.schemesPerWindow) {
        log(QStringLiteral("window %1 scheme %2 not stored: the window has %3 schemes already")
                .arg(hexByte(done.scheme.window), hexByte(done.scheme.id))
                .arg(stored.size()));
        return true;
    }
    addScheme(done.scheme);
    return true;
}

bool TimedPlayFamily::parameterFrame(const SimRequest &q, const QString &sender)
{
    SimReader r = q.reader();
    Scheme s;
    s.window = r.u8("window id");
    s.id = r.u8("scheme id");
    s.name = r.bytes(r.u16("name length"), "name");
    s.clockType = r.u8("clock type");
    s.clockX = r.u16("clock x");
    s.clockY = r.u16("clock y");
    s.clockW = r.u16("clock width");
    s.clockH = r.u16("clock height");
    s.wordIsExist = r.u8("text effect");
    s.wordSpeed = r.u8("text speed");
    s.wordColor = r.u8("text colour");
    s.wordDirection = r.u8("text direction");
    s.wordSize = r.u8("text size");
    s.wordX = r.u16("text x");
    s.wordY = r.u16("text y");
    s.wordZ = r.u16("text z");
    s.words = r.bytes(r.u16("text length"), "text");
    s.schedule = r.bytes(r.u16("schedule length"), "schedule");
    if (!r.ok() || r.remaining() != 0)
        return false;
    if (m_pending.contains(sender)) {
        const Scheme &old = m_pending.value(sender).scheme;
        log(QStringLiteral("window %1 scheme %2 from %3 dropped: a new scheme began before its last file")
                .arg(hexByte(old.window), hexByte(old.id), sender));
        m_pending.remove(sender);
    }
    if (!hasWindow(s.window)) {
        log(QStringLiteral("window %1 scheme %2 \"%3\" refused: the server has no window %1")
                .arg(hexByte(s.window), hexByte(s.id), logText(s.name)));
        return true;
    }
    if (m_pending.size() >= kMaxPending) {
        auto oldest = m_pending.begin();
        for (auto it = m_pending.begin(); it != m_pending.end(); ++it)
            if (it->serial < oldest->serial)
                oldest = it;
        log(QStringLiteral("window %1 scheme %2 from %3 dropped: %4 schemes under way")
                .arg(hexByte(oldest->scheme.window), hexByte(oldest->scheme.id), oldest.key())
                .arg(m_pending.size()));
        m_pending.erase(oldest);
    }
    log(QStringLiteral("window %1 scheme %2 \"%3\": parameters received, waiting for its files")
            .arg(hexByte(s.window), hexByte(s.id), logText(s.name)));
    m_pending.insert(sender, Pending{s, ++m_serial, QString()});
    return true;
}

std::unique_ptr<SimFamily> makeTimedPlayFamily()
{
    return std::make_unique<TimedPlayFamily>();
}
