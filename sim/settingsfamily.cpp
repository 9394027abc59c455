#include "core/logescape.h"
#include "simfamilies.h"
#include "simfamily.h"
#include "simserver.h"

#include <QDateTime>

// The device settings as a server keeps them: the settings record (5502
// answered by 5501, set by 5501), the screen switch 5507, the colour balance
// 5508, the video source 5509, the rotation 550c and, on the time port, the
// volume (5a02 answered by 5503, set by 5a03), the restart 5506 and the time
// correction 5a01. Every change is logged as one "state settings" line with
// the whole record, so that a test or a person sees what the server now has.
class SettingsFamily : public SimFamily
{
public:
    QString name() const override { return QStringLiteral("settings"); }

    void install(SimRoutes &routes) override
    {
        routes.on(SimPort::Control, 0x5502, [this](const SimRequest &q) { query(q); });
        routes.on(SimPort::Control, 0x5501, [this](const SimRequest &q) { setRecord(q); });
        routes.on(SimPort::Control, 0x5507, [this](const SimRequest &q) { setByte(q, m_screenSwitch, "screen switch"); });
        routes.on(SimPort::Control, 0x5509, [this](const SimRequest &q) { setByte(q, m_videoSource, "video source"); });
        routes.on(SimPort::Control, 0x550c, [this](const SimRequest &q) { setByte(q, m_rotation, "rotation"); });
        routes.on(SimPort::Control, 0x5508, [this](const SimRequest &q) { setColour(q); });
        routes.on(SimPort::Control, 0x5506, [this](const SimRequest &q) { restart(q); });
        routes.on(SimPort::Time, 0x5a02, [this](const SimRequest &q) { volumeQuery(q); });
        routes.on(SimPort::Time, 0x5a03, [this](const SimRequest &q) { setVolume(q); });
        routes.on(SimPort::Time, 0x5a01, [this](const SimRequest &q) { correctTime(q); });
    }

    QVariantMap state() const override
    {
        return {
            {QStringLiteral("restart"), m_restart},
            {QStringLiteral("skipLogin"), m_skipLogin},
            {QStringLiteral("brightness"), m_brightness},
            {QStringLiteral("wifi"), m_wifi},
            {QStringLiteral("background"), m_background},
            {QStringLiteral("restartTime"), m_restartTime},
            {QStringLiteral("transferPath"), m_transferPath},
            {QStringLiteral("screenSwitch"), m_screenSwitch},
            {QStringLiteral("red"), m_red},
            {QStringLiteral("green"), m_green},
            {QStringLiteral("blue"), m_blue},
            {QStringLiteral("videoSource"), m_videoSource},
            {QStringLiteral("rotation"), m_rotation},
            {QStringLiteral("maxVolume"), m_maxVolume},
            {QStringLiteral("volume"), m_volume},
            {QStringLiteral("restarts"), m_restarts},
            {QStringLiteral("correctedTimeMs"), m_correctedTimeMs},
            {QStringLiteral("timeZone"), m_timeZone},
        };
    }

private:
    static QString hex2(int v) { return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')); }

    void logRecord() const
    {
        logState(QStringLiteral("restart %1 skiplogin %2 brightness %3 wifi %4 background %5 restarttime \"%6\" "
                                "path \"%7\" switch %8 rgb %9 %10 %11 source %12 rotation %13")
                     .arg(hex2(m_restart), hex2(m_skipLogin))
                     .arg(m_brightness)
                     .arg(hex2(m_wifi), hex2(m_background), LogEscape::text(m_restartTime), LogEscape::text(m_transferPath),
                          hex2(m_screenSwitch))
                     .arg(m_red)
                     .arg(m_green)
                     .arg(m_blue)
                     .arg(hex2(m_videoSource), hex2(m_rotation)));
    }
    void logVolume() const { logState(QStringLiteral("volume %1 of %2").arg(m_volume).arg(m_maxVolume)); }

    void noteTrailing(const SimRequest &q, const SimReader &r) const
    {
        if (r.remaining() > 0)
            log(QStringLiteral("%1 has %2 byte(s) after its last field").arg(SimFrame::codeText(q.code)).arg(r.remaining()));
    }

    // Where a query's answer goes; nothing for a query without the phone's address.
    std::optional<QHostAddress> queryReplyAddress(const SimRequest &q)
    {
        SimReader r = q.reader();
        const QHostAddress phone = r.ipv4("phone address");
        if (!r.ok()) {
            malformed(q, r.error());
            return std::nullopt;
        }
        noteTrailing(q, r);
        return SimFamily::replyAddress(q, phone);
    }

    // A record text: its count, then the bytes; an empty one is the count 0
    // followed by a 2-byte placeholder 0000.
    static void writeRecordText(SimFrameWriter &w, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8().left(0xffff);
        w.u16(quint16(utf8.size()));
        if (utf8.isEmpty())
            w.u16(0);
        else
            w.bytes(utf8);
    }
    QString readRecordText(SimReader &r, const char *field) const
    {
        const quint16 length = r.u16(field);
        if (length == 0) {
            const quint16 placeholder = r.u16(field);
            if (r.ok() && placeholder != 0)
                log(QStringLiteral("%1: placeholder of an empty text is %2, expected 0000")
                        .arg(QLatin1String(field), hex2(placeholder >> 8) + hex2(placeholder & 0xff)));
            return QString();
        }
        return QString::fromUtf8(r.bytes(length, field));
    }

    void query(const SimRequest &q)
    {
        const auto phone = queryReplyAddress(q);
        if (!phone)
            return;
        SimFrameWriter w(0x5501);
        w.u8(m_restart).u8(m_skipLogin).u16(m_brightness).u8(m_wifi).u8(m_background);
        writeRecordText(w, m_restartTime);
        writeRecordText(w, m_transferPath);
        w.u8(m_screenSwitch).u16(m_red).u16(m_green).u16(m_blue).u8(m_videoSource).u8(m_rotation);
        sendReply(*phone, w.frame());
    }

    void setRecord(const SimRequest &q)
    {
        SimReader r = q.reader();
        const quint8 restart = r.u8("restart flag");
        const quint8 skipLogin = r.u8("skip-login flag");
        const quint16 brightness = r.u16("brightness");
        const quint8 wifi = r.u8("wifi flag");
        const quint8 background = r.u8("background colour");
        const QString restartTime = readRecordText(r, "restart time");
        const QString transferPath = readRecordText(r, "transfer path");
        if (!r.ok())
            return malformed(q, r.error());
        noteTrailing(q, r);
        m_restart = restart;
        m_skipLogin = skipLogin;
        m_brightness = brightness;
        m_wifi = wifi;
        m_background = background;
        m_restartTime = restartTime;
        m_transferPath = transferPath;
        logRecord();
    }

    void setByte(const SimRequest &q, int &target, const char *field)
    {
        SimReader r = q.reader();
        const quint8 v = r.u8(field);
        if (!r.ok())
            return malformed(q, r.error());
        noteTrailing(q, r);
        target = v;
        logRecord();
    }

    void setColour(const SimRequest &q)
    {
        SimReader r = q.reader();
        const quint16 red = r.u16("red");
        const quint16 green = r.u16("green");
        const quint16 blue = r.u16("blue");
        if (!r.ok())
            return malformed(q, r.error());
        noteTrailing(q, r);
        m_red = red;
        m_green = green;
        m_blue = blue;
        logRecord();
    }

    void restart(const SimRequest &q)
    {
        noteTrailing(q, q.reader());
        ++m_restarts;
        log(QStringLiteral("restart requested by %1 (%2 so far)").arg(q.sender.toString()).arg(m_restarts));
    }

    void volumeQuery(const SimRequest &q)
    {
        const auto phone = queryReplyAddress(q);
        if (!phone)
            return;
        sendReply(*phone, SimFrameWriter(0x5503).u8(quint8(m_maxVolume)).u8(quint8(m_volume)).frame());
    }

    void setVolume(const SimRequest &q)
    {
        SimReader r = q.reader();
        const quint8 v = r.u8("volume");
        if (!r.ok())
            return malformed(q, r.error());
        noteTrailing(q, r);
        if (v > m_maxVolume)
            log(QStringLiteral("volume %1 is above the maximum %2; kept at the maximum").arg(v).arg(m_maxVolume));
        m_volume = qMin<int>(v, m_maxVolume);
        logVolume();
    }

    void correctTime(const SimRequest &q)
    {
        SimReader r = q.reader();
        const quint64 high = r.u32("time");
        const quint64 low = r.u32("time");
        const QString zone = r.text16("time zone");
        if (!r.ok())
            return malformed(q, r.error());
        noteTrailing(q, r);
        m_correctedTimeMs = qint64(high << 32 | low);
        m_timeZone = zone;
        const QDateTime at = QDateTime::fromMSecsSinceEpoch(m_correctedTimeMs, Qt::UTC);
        log(QStringLiteral("time correction %1 ms = %2 UTC, zone %3")
                .arg(m_correctedTimeMs)
                .arg(at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")), LogEscape::text(zone)));
    }

    // What a freshly installed server reports.
    int m_restart = 0x01;
    int m_skipLogin = 0x00;
    int m_brightness = 180;
    int m_wifi = 0x01;
    int m_background = 0x03;
    QString m_restartTime = QStringLiteral("04:30:00");
    QString m_transferPath = QStringLiteral("D:/QEVA/media");
    int m_screenSwitch = 0x01;
    int m_red = 255;
    int m_green = 128;
    int m_blue = 64;
    int m_videoSource = 0x02;
    int m_rotation = 0x01;
    int m_maxVolume = 15;
    int m_volume = 9;
    int m_restarts = 0;
    qint64 m_correctedTimeMs = 0;
    QString m_timeZone;
};

std::unique_ptr<SimFamily> makeSettingsFamily()
{
    return std::make_unique<SettingsFamily>();
}
