#include "playlistfamily.h"

#include "core/logescape.h"
#include "simfamilies.h"
#include "simserver.h"
#include "transferfamily.h"

#include <QStringDecoder>
#include <algorithm>

namespace {
// What a list reply ends with while more follow; a phone looks for it anywhere in the reply.
const QByteArray kMoreMarker = QByteArrayLiteral("\xff\x00");

bool carriesMarker(const QByteArray &frame)
{
    return frame.toHex().contains("ff00");
}

QString orderName(quint8 order)
{
    switch (order) {
    case PlayListFamily::Play: return QStringLiteral("play");
    case PlayListFamily::Previous: return QStringLiteral("previous");
    case PlayListFamily::Pause: return QStringLiteral("pause");
    case PlayListFamily::Stop: return QStringLiteral("stop");
    case PlayListFamily::Next: return QStringLiteral("next");
    }
    return QStringLiteral("order %1").arg(order);
}
}

QString PlayListFamily::windowText(quint8 window)
{
    return QStringLiteral("%1").arg(window, 2, 16, QLatin1Char('0'));
}

QString PlayListFamily::logText(const QByteArray &name)
{
    return LogEscape::bytes(name);
}

QString PlayListFamily::text(const QByteArray &name)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(name);
    if (decoder.hasError())
        return QStringLiteral("<bytes %1>").arg(QString::fromLatin1(name.toHex()));
    return decoded;
}

bool PlayListFamily::acceptableName(const QByteArray &name)
{
    if (name.isEmpty() || name.size() > 0xffff)
        return false;
    QByteArray field;
    field.append(char(name.size() >> 8)).append(char(name.size() & 0xff)).append(name);
    return !carriesMarker(field);
}

void PlayListFamily::install(SimRoutes &routes)
{
    const auto on = [&](quint16 code, void (PlayListFamily::*handler)(const SimRequest &)) {
        routes.on(SimPort::Control, code, [this, handler](const SimRequest &q) { (this->*handler)(q); });
    };
    on(0x5701, &PlayListFamily::listQuery);
    on(0x5703, &PlayListFamily::playSingle);
    on(0x5704, &PlayListFamily::playControl);
    on(0x5705, &PlayListFamily::playMode);
    on(0x5706, &PlayListFamily::checkState);
    on(0x5707, &PlayListFamily::windowVolume);
    on(0x5708, &PlayListFamily::clearList);
    on(0x5603, &PlayListFamily::deleteEntry);
    on(0x5304, &PlayListFamily::serverFilesQuery);
    on(0x5601, &PlayListFamily::appendFiles);
    preload();
}

void PlayListFamily::preload()
{
    for (const QString &name : server().config().serverFiles)
        addServerFile(name);
    for (const auto &[window, files] : server().config().playLists)
        for (const QString &name : files)
            addFile(window, name);
}

std::optional<QByteArray> PlayListFamily::knownFile(const QByteArray &name) const
{
    const qsizetype at = m_serverFiles.indexOf(name);
    if (at >= 0)
        return m_serverFiles.at(at); // shared with the list of server files
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(name);
    const TransferFamily *transfer = server().family<TransferFamily>();
    if (!utf8.hasError() && transfer && transfer->hasReceived(decoded))
        return name;
    return std::nullopt;
}

QVariantMap PlayListFamily::state() const
{
    QVariantMap windows;
    for (auto it = m_windows.cbegin(); it != m_windows.cend(); ++it) {
        QVariantList checked;
        for (bool c : checkedStates(it.key()))
            checked << c;
        windows.insert(windowText(it.key()),
                       QVariantMap{{QStringLiteral("files"), files(it.key())},
                                   {QStringLiteral("checked"), checked},
                                   {QStringLiteral("playing"), it->playing},
                                   {QStringLiteral("volume"), int(it->volume)},
                                   {QStringLiteral("state"), orderName(it->state)}});
    }
    return {{QStringLiteral("windows"), windows}, {QStringLiteral("serverFiles"), serverFiles()}};
}

void PlayListFamily::addFile(quint8 window, const QString &name)
{
    addFileBytes(window, name.toUtf8());
}

bool PlayListFamily::addFileBytes(quint8 window, const QByteArray &name)
{
    const SimLimits &limits = server().config().limits;
    if (!acceptableName(name) || name.size() > limits.nameBytes) {
        log(QStringLiteral("play list %1: name refused (empty, longer than %2 bytes or reads as ff00): %3")
                .arg(windowText(window))
                .arg(limits.nameBytes)
                .arg(logText(name)));
        return false;
    }
    if (m_windows.value(window).entries.size() >= limits.playListEntries) {
        log(QStringLiteral("play list %1 is full (%2 entries): \"%3\" not added")
                .arg(windowText(window))
                .arg(limits.playListEntries)
                .arg(logText(name)));
        return false;
    }
    Window &w = m_windows[window];
    w.entries.append(Entry{name, true});
    logState(QStringLiteral("%1 added \"%2\"; %3 entries").arg(windowText(window), logText(name)).arg(w.entries.size()));
    return true;
}

bool PlayListFamily::playFile(quint8 window, const QString &name, const QHostAddress &phone)
{
    auto it = m_windows.find(window);
    if (it == m_windows.end())
        return false;
    const QByteArray bytes = name.toUtf8();
    for (int i = 0; i < it->entries.size(); ++i) {
        if (it->entries.at(i).name == bytes) {
            it->playing = i;
            it->state = Play;
            logState(QStringLiteral("%1 playing %2 \"%3\"").arg(windowText(window)).arg(i).arg(LogEscape::text(name)));
            announcePlaying(window, phone);
            return true;
        }
    }
    return false;
}

bool PlayListFamily::addServerFile(const QString &name)
{
    return addServerFileBytes(name.toUtf8());
}

bool PlayListFamily::addServerFileBytes(const QByteArray &name)
{
    if (!acceptableName(name)) {
        log(QStringLiteral("server file refused (empty, too long or reads as ff00): %1").arg(logText(name)));
        return false;
    }
    m_serverFiles.append(name);
    logState(QStringLiteral("server file \"%1\"; %2 files").arg(logText(name)).arg(m_serverFiles.size()));
    return true;
}

void PlayListFamily::removeWindow(quint8 window)
{
    if (m_windows.remove(window))
        logState(QStringLiteral("%1 list dropped").arg(windowText(window)));
}

void PlayListFamily::setVolume(quint8 window, quint8 volume)
{
    m_windows[window].volume = quint8(qMin<int>(volume, kMaxVolume));
}

void PlayListFamily::setChecked(quint8 window, int index, bool checked)
{
    Window &w = m_windows[window];
    if (index >= 0 && index < w.entries.size())
        w.entries[index].checked = checked;
}

QStringList PlayListFamily::files(quint8 window) const
{
    QStringList out;
    for (const Entry &e : m_windows.value(window).entries)
        out << text(e.name);
    return out;
}

QList<bool> PlayListFamily::checkedStates(quint8 window) const
{
    QList<bool> out;
    for (const Entry &e : m_windows.value(window).entries)
        out << e.checked;
    return out;
}

QString PlayListFamily::playing(quint8 window) const
{
    const Window w = m_windows.value(window);
    if (w.playing < 0 || w.playing >= w.entries.size())
        return {};
    return text(w.entries.at(w.playing).name);
}

QString PlayListFamily::playState(quint8 window) const
{
    return orderName(m_windows.value(window).state);
}

QStringList PlayListFamily::serverFiles() const
{
    QStringList out;
    for (const QByteArray &name : m_serverFiles)
        out << text(name);
    return out;
}

void PlayListFamily::announcePlaying(quint8 window, const QHostAddress &extra)
{
    const Window &w = m_windows[window];
    if (w.playing < 0)
        return;
    const QByteArray frame = SimFrameWriter(0x5101).u8(window).u16(quint16(w.playing)).frame();
    QList<QHostAddress> to = server().phones();
    if (!extra.isNull() && !to.contains(extra))
        to.append(extra);
    for (const QHostAddress &phone : std::as_const(to))
        sendReply(phone, frame);
}

void PlayListFamily::setPlaying(quint8 window, int index, const QHostAddress &extra)
{
    Window &w = m_windows[window];
    if (w.playing == index)
        return;
    w.playing = index;
    if (index < 0) {
        logState(QStringLiteral("%1 nothing playing").arg(windowText(window)));
        return;
    }
    logState(QStringLiteral("%1 playing %2 \"%3\"").arg(windowText(window)).arg(index).arg(logText(w.entries.at(index).name)));
    announcePlaying(window, extra);
}

void PlayListFamily::sendSequence(const QHostAddress &phone, const QList<QByteArray> &replies)
{
    for (const QByteArray &reply : replies)
        sendReply(phone, reply);
}

QByteArray PlayListFamily::listReply(const Window &w, int index, bool last) const
{
    const Entry &e = w.entries.at(index);
    const auto build = [&](quint16 position) {
        SimFrameWriter f(0x5601);
        f.u8(w.volume).u16(position).u8(e.checked ? 1 : 0).u16(quint16(e.name.size())).bytes(e.name);
        if (!last || m_markLast)
            f.bytes(kMoreMarker);
        return f.frame();
    };
    // The position counts from 1; where its bytes next to the check flag
    // would read as the marker, the end of the list must not depend on it.
    QByteArray frame = build(quint16(index + 1));
    if (last && !m_markLast && carriesMarker(frame)) {
        frame = build(0);
        log(QStringLiteral("last list reply sent with position 0: %1 would read as ff00").arg(index + 1));
    }
    return frame;
}

void PlayListFamily::listQuery(const SimRequest &q)
{
    SimReader r = q.reader();
    const quint8 window = r.u8("window id");
    const QHostAddress carried = r.ipv4("phone address");
    if (!r.ok())
        return malformed(q, r.error());
    const QHostAddress phone = replyAddress(q, carried);
    const Window w = m_windows.value(window);
    if (w.entries.isEmpty()) {
        log(QStringLiteral("play list %1 is empty").arg(windowText(window)));
        sendReply(phone, SimFrameWriter(0x5605).u8(window).frame());
        return;
    }
    QList<QByteArray> replies;
    for (int i = 0; i < w.entries.size(); ++i)
        replies << listReply(w, i, i == w.entries.size() - 1);
    log(QStringLiteral("play list %1: %2 entries to %3")
            .arg(windowText(window))
            .arg(w.entries.size())
            .arg(phone.toString()));
    sendSequence(phone, replies);
}

void PlayListFamily::playSingle(const SimRequest &q)
{
    SimReader r = q.reader();
    const quint8 window = r.u8("window id");
    const quint16 index = r.u16("entry index");
    if (!r.ok())
        return malformed(q, r.error());
    Window &w = m_windows[window];
    if (index >= w.entries.size()) {
        log(QStringLiteral("play %1: no entry %2 (%3 entries)").arg(windowText(window)).arg(index).arg(w.entries.size()));
        return;
    }
    w.state = Play;
    setPlaying(window, index, q.sender);
}

void PlayListFamily::playControl(const SimRequest &q)
{
    SimReader r = q.reader();
    const quint8 window = r.u8("window id");
    const quint8 order = r.u8("order id");
    if (!r.ok())
        return malformed(q, r.error());
    if (order > Next)
        return malformed(q, QStringLiteral("order id %1 is not 00 to 04").arg(order, 2, 16, QLatin1Char('0')));
    Window &w = m_windows[window];
    const int count = int(w.entries.size());
    w.state = Order(order);
    logState(QStringLiteral("%1 %2").arg(windowText(window), orderName(order)));
    if (count == 0)
        return;
    // Skipping goes through the checked entries; with none checked, through all.
    const bool anyChecked = std::any_of(w.entries.cbegin(), w.entries.cend(), [](const Entry &e) { return e.checked; });
    const auto step = [&](int from, int direction) {
        int i = from;
        for (int n = 0; n < count; ++n) {
            i = ((i + direction) % count + count) % count;
            if (!anyChecked || w.entries.at(i).checked)
                return i;
        }
        return from;
    };
    if (order == Play && w.playing < 0)
        setPlaying(window, step(-1, 1), q.sender);
    else if (order == Next)
        setPlaying(window, step(w.playing < 0 ? -1 : w.playing, 1), q.sender);
    else if (order == Previous)
        setPlaying(window, step(w.playing < 0 ? 0 : w.playing, -1), q.sender);
}

void PlayListFamily::playMode(const SimRequest &q)
{
    SimReader r = q.reader();
    const quint8 window = r.u8("window id");
    const quint8 mode = r.u8("mode id");
    if (!r.ok())
        return malformed(q, r.error());
    if (mode > 3)
        return malformed(q, QStringLiteral("mode id %1 is not 00 to 03").arg(mode, 2, 16, QLatin1Char('0')));
    // The mode lives in the window record, so the next announcement carries it.
    QList<SimWindow> windows = server().windows();
    bool found = false;
    for (SimWindow &sw : windows) {
        if (sw.id == window) {
            sw.playMode = mode;
            found = true;
        }
    }
    if (!found) {
        log(QStringLiteral("play mode: no window %1").arg(windowText(window)));
        return;
    }
    server().setWindows(windows);
    logState(QStringLiteral("%1 mode %2").arg(windowText(window)).arg(mode));
}

void PlayListFamily::checkState(const SimRequest &q)
{
    SimReader r = q.reader();
    const quint8 window = r.u8("window id");
    const quint16 index = r.u16("entry index");
    const quint8 checked = r.u8("check state");
    if (!r.ok())
        return malformed(q, r.error());
    if (checked > 1)
        return malformed(q, QStringLiteral("check state %1 is not 00 or 01").arg(checked, 2, 16, QLatin1Char('0')));
    Window &w = m_windows[window];
    if (index >= w.entries.size()) {
        log(QStringLiteral("check %1: no entry %2 (%3 entries)").arg(windowText(window)).arg(index).arg(w.entries.size()));
        return;
    }
    w.entries[index].checked = checked == 1;
    logState(QStringLiteral("%1 entry %2 %3").arg(windowText(window)).arg(index).arg(checked ? "checked" : "unchecked"));
}

void PlayListFamily::windowVolume(const SimRequest &q)
{
    SimReader r = q.reader();
    const quint8 window = r.u8("window id");
    const quint8 volume = r.u8("volume");
    if (!r.ok())
        return malformed(q, r.error());
    if (volume > kMaxVolume)
        return malformed(q, QStringLiteral("volume %1 is above %2").arg(volume).arg(kMaxVolume));
    m_windows[window].volume = volume;
    logState(QStringLiteral("%1 volume %2").arg(windowText(window)).arg(volume));
}

void PlayListFamily::clearList(const SimRequest &q)
{
    SimReader r = q.reader();
    const quint8 window = r.u8("window id");
    if (!r.ok())
        return malformed(q, r.error());
    Window &w = m_windows[window];
    w.entries.clear();
    w.playing = -1;
    logState(QStringLiteral("%1 cleared").arg(windowText(window)));
}

void PlayListFamily::deleteEntry(const SimRequest &q)
{
    SimReader r = q.reader();
    const quint8 window = r.u8("window id");
    const quint8 how = r.u8("delete mode");
    const quint8 one = r.u8("count");
    const quint16 index = r.u16("entry index");
    if (!r.ok())
        return malformed(q, r.error());
    if (how != 0x01 && how != 0x02)
        return malformed(q, QStringLiteral("delete mode %1 is not 01 or 02").arg(how, 2, 16, QLatin1Char('0')));
    if (one != 0x01)
        log(QStringLiteral("delete %1: byte 3 is %2, expected 01").arg(windowText(window)).arg(one));
    Window &w = m_windows[window];
    if (index >= w.entries.size()) {
        log(QStringLiteral("delete %1: no entry %2 (%3 entries)").arg(windowText(window)).arg(index).arg(w.entries.size()));
        return;
    }
    const QByteArray name = w.entries.takeAt(index).name;
    logState(QStringLiteral("%1 removed %2 \"%3\"; %4 entries")
                 .arg(windowText(window))
                 .arg(index)
                 .arg(logText(name))
                 .arg(w.entries.size()));
    if (how == 0x01 && m_serverFiles.removeOne(name))
        logState(QStringLiteral("server file \"%1\" deleted; %2 files").arg(logText(name)).arg(m_serverFiles.size()));

    // The entry that plays keeps playing at its new place; a removed
    // playing entry gives way to the one that took its place.
    if (index < w.playing) {
        setPlaying(window, w.playing - 1, q.sender);
    } else if (index == w.playing) {
        w.playing = -1; // the same number may now stand for another entry
        setPlaying(window, w.entries.isEmpty() ? -1 : (index < w.entries.size() ? index : 0), q.sender);
    }
}

void PlayListFamily::serverFilesQuery(const SimRequest &q)
{
    SimReader r = q.reader();
    const QHostAddress carried = r.ipv4("phone address");
    if (!r.ok())
        return malformed(q, r.error());
    const QHostAddress phone = replyAddress(q, carried);
    if (m_serverFiles.isEmpty()) {
        log(QStringLiteral("no server files to send"));
        return;
    }
    QList<QByteArray> replies;
    for (int i = 0; i < m_serverFiles.size(); ++i) {
        SimFrameWriter f(0x5604);
        f.u16(quint16(m_serverFiles.at(i).size())).bytes(m_serverFiles.at(i));
        if (i < m_serverFiles.size() - 1 || m_markLast)
            f.bytes(kMoreMarker);
        replies << f.frame();
    }
    log(QStringLiteral("server files: %1 to %2").arg(m_serverFiles.size()).arg(phone.toString()));
    sendSequence(phone, replies);
}

void PlayListFamily::appendFiles(const SimRequest &q)
{
    SimReader r = q.reader();
    const quint8 window = r.u8("window id");
    const quint8 one = r.u8("count");
    const quint16 length = r.u16("name length");
    const QByteArray name = r.bytes(length, "name");
    const quint8 end = r.u8("end byte");
    if (!r.ok())
        return malformed(q, r.error());
    const quint8 lastEnd = quint8((4 + 2 * int(length)) % 100);
    if (end != 0xff && end != lastEnd)
        log(QStringLiteral("append %1: end byte %2, expected ff or %3")
                .arg(windowText(window))
                .arg(end, 2, 16, QLatin1Char('0'))
                .arg(lastEnd, 2, 16, QLatin1Char('0')));
    if (one != 0x01)
        log(QStringLiteral("append %1: byte 2 is %2, expected 01").arg(windowText(window)).arg(one));
    if (r.remaining() > 0)
        log(QStringLiteral("append %1: %2 byte(s) after the end byte").arg(windowText(window)).arg(r.remaining()));
    const std::optional<QByteArray> known = knownFile(name);
    if (!known) {
        log(QStringLiteral("append %1: \"%2\" is neither a server file nor a received one: not added")
                .arg(windowText(window), logText(name)));
        return;
    }
    addFileBytes(window, *known);
}

std::unique_ptr<SimFamily> makePlayListFamily()
{
    return std::make_unique<PlayListFamily>();
}
