#include "playlistfamily.h"
#include "simfamilies.h"
#include "simfamily.h"
#include "simserver.h"

#include <QMap>

// The play windows: add (5204) and close (5203) change the window records
// that the announcement carries and announce them at once, so a phone
// learns the new count without waiting for the next period; each window
// keeps its settings, written by 5201 and answered to 5202 with a 5201.
class WindowFamily : public SimFamily
{
public:
    // Windows a phone may add; the ones the server starts with may be more.
    static constexpr int kMaxWindows = 4;

    QString name() const override { return QStringLiteral("window"); }

    void install(SimRoutes &routes) override
    {
        routes.on(SimPort::Control, 0x5201, [this](const SimRequest &q) { setSettings(q); });
        routes.on(SimPort::Control, 0x5202, [this](const SimRequest &q) { query(q); });
        routes.on(SimPort::Control, 0x5203, [this](const SimRequest &q) { close(q); });
        routes.on(SimPort::Control, 0x5204, [this](const SimRequest &q) { add(q); });
    }

    QVariantMap state() const override
    {
        QVariantMap windows;
        for (const SimWindow &w : server().windows()) {
            const Settings s = m_settings.value(w.id);
            windows.insert(idText(w.id),
                           QVariantMap{{QStringLiteral("x"), s.x},
                                       {QStringLiteral("y"), s.y},
                                       {QStringLiteral("width"), s.width},
                                       {QStringLiteral("height"), s.height},
                                       {QStringLiteral("effect"), s.effect},
                                       {QStringLiteral("interval"), s.interval},
                                       {QStringLiteral("fullScreen"), s.fullScreen},
                                       {QStringLiteral("onTop"), s.onTop},
                                       {QStringLiteral("playMode"), w.playMode}});
        }
        QStringList ids;
        for (const SimWindow &w : server().windows())
            ids << idText(w.id);
        return {{QStringLiteral("ids"), ids}, {QStringLiteral("settings"), windows},
                {QStringLiteral("applied"), m_applied}};
    }

private:
    // Positions are kept as the two bytes travel: a reply of ff05 is -5
    // to the phone, and a set request cannot say less than 0.
    struct Settings
    {
        quint16 x = 0;
        quint16 y = 0;
        quint16 width = 1920;
        quint16 height = 1080;
        quint16 effect = 0;
        quint16 interval = 5;
        quint8 fullScreen = 0x02;
        quint8 onTop = 0x02;
    };

    static QString idText(quint8 id) { return QStringLiteral("%1").arg(id, 2, 16, QLatin1Char('0')); }

    bool exists(quint8 id) const
    {
        const QList<SimWindow> windows = server().windows();
        return std::any_of(windows.cbegin(), windows.cend(), [id](const SimWindow &w) { return w.id == id; });
    }

    QString idList() const
    {
        QStringList ids;
        for (const SimWindow &w : server().windows())
            ids << idText(w.id);
        return ids.isEmpty() ? QStringLiteral("none") : ids.join(QLatin1Char(','));
    }

    void add(const SimRequest &q)
    {
        SimReader r = q.reader();
        const quint8 lead = r.u8("first byte");
        Settings s;
        s.x = r.u16("x");
        s.y = r.u16("y");
        s.width = r.u16("width");
        s.height = r.u16("height");
        if (!r.ok())
            return malformed(q, r.error());
        if (lead != 0)
            log(QStringLiteral("add window: first byte %1, expected 00").arg(lead));
        QList<SimWindow> windows = server().windows();
        if (windows.size() >= kMaxWindows) {
            log(QStringLiteral("add window refused: %1 windows already (at most %2)").arg(windows.size()).arg(kMaxWindows));
            return;
        }
        quint8 id = 0x01;
        while (exists(id) && id < 0xff)
            ++id;
        if (exists(id)) {
            log(QStringLiteral("add window refused: no free id"));
            return;
        }
        windows.append(SimWindow{id, 0, 0});
        server().setWindows(windows);
        m_settings.insert(id, s);
        logState(QStringLiteral("added %1; windows %2").arg(idText(id), idList()));
        server().announceNow();
    }

    void close(const SimRequest &q)
    {
        SimReader r = q.reader();
        const quint8 id = r.u8("window id");
        if (!r.ok())
            return malformed(q, r.error());
        QList<SimWindow> windows = server().windows();
        const qsizetype removed = windows.removeIf([id](const SimWindow &w) { return w.id == id; });
        if (removed == 0) {
            log(QStringLiteral("close window: no window %1").arg(idText(id)));
            return;
        }
        server().setWindows(windows);
        m_settings.remove(id);
        if (PlayListFamily *lists = server().family<PlayListFamily>())
            lists->removeWindow(id);
        logState(QStringLiteral("closed %1; windows %2").arg(idText(id), idList()));
        server().announceNow();
    }

    void query(const SimRequest &q)
    {
        SimReader r = q.reader();
        const quint8 id = r.u8("window id");
        const QHostAddress phone = r.ipv4("phone address");
        if (!r.ok())
            return malformed(q, r.error());
        if (!exists(id)) {
            log(QStringLiteral("window settings: no window %1").arg(idText(id)));
            return;
        }
        const Settings s = m_settings.value(id);
        sendReply(replyAddress(q, phone), SimFrameWriter(0x5201)
                             .u16(s.x)
                             .u16(s.y)
                             .u16(s.width)
                             .u16(s.height)
                             .u16(s.effect)
                             .u16(s.interval)
                             .frame());
    }

    void setSettings(const SimRequest &q)
    {
        SimReader r = q.reader();
        const quint8 id = r.u8("window id");
        Settings s;
        s.fullScreen = r.u8("full screen");
        s.onTop = r.u8("on top");
        s.x = r.u16("x");
        s.y = r.u16("y");
        s.width = r.u16("width");
        s.height = r.u16("height");
        s.effect = r.u16("switch effect");
        s.interval = r.u16("switch interval");
        if (!r.ok())
            return malformed(q, r.error());
        if (!exists(id)) {
            log(QStringLiteral("window settings: no window %1").arg(idText(id)));
            return;
        }
        if (s.effect > 9)
            log(QStringLiteral("window %1: switch effect %2 has no name (0 to 9)").arg(idText(id)).arg(s.effect));
        m_settings.insert(id, s);
        ++m_applied;
        logState(QStringLiteral("%1 full screen %2 on top %3 at %4,%5 size %6x%7 effect %8 interval %9")
                     .arg(idText(id), idText(s.fullScreen), idText(s.onTop))
                     .arg(s.x)
                     .arg(s.y)
                     .arg(s.width)
                     .arg(s.height)
                     .arg(s.effect)
                     .arg(s.interval));
    }

    QMap<quint8, Settings> m_settings; // windows without an entry have the defaults
    int m_applied = 0;
};
std::unique_ptr<SimFamily> makeWindowFamily()
{
    return std::make_unique<WindowFamily>();
}
