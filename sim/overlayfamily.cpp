#include "core/logescape.h"
#include "simfamilies.h"
#include "simfamily.h"
#include "simserver.h"

#include <QStringDecoder>
#include <QVariantList>

// The overlays a server lays over its display: the inserted scrolling text
// (query 5401, answered by 5401; set 5402), the clock (query 5503, answered
// by 5502; set 5504) and the animation effects played in a window (5505,
// no answer).
class OverlayFamily : public SimFamily
{
public:
    QString name() const override { return QStringLiteral("overlay"); }

    void install(SimRoutes &routes) override
    {
        routes.on(SimPort::Control, 0x5401, [this](const SimRequest &q) { textQuery(q); });
        routes.on(SimPort::Control, 0x5402, [this](const SimRequest &q) { textSet(q); });
        routes.on(SimPort::Control, 0x5503, [this](const SimRequest &q) { clockQuery(q); });
        routes.on(SimPort::Control, 0x5504, [this](const SimRequest &q) { clockSet(q); });
        routes.on(SimPort::Control, 0x5505, [this](const SimRequest &q) { effect(q); });
    }

    QVariantMap state() const override
    {
        const QVariantMap text{
            {QStringLiteral("effect"), m_text.effect},       {QStringLiteral("speed"), m_text.speed},
            {QStringLiteral("color"), m_text.color},         {QStringLiteral("direction"), m_text.direction},
            {QStringLiteral("size"), m_text.size},           {QStringLiteral("x"), m_text.x},
            {QStringLiteral("y"), m_text.y},                 {QStringLiteral("z"), m_text.z},
            {QStringLiteral("content"), m_text.content},
        };
        const QVariantMap clock{
            {QStringLiteral("type"), m_clock.type},     {QStringLiteral("x"), m_clock.x},
            {QStringLiteral("y"), m_clock.y},           {QStringLiteral("width"), m_clock.width},
            {QStringLiteral("height"), m_clock.height}, {QStringLiteral("execute"), m_clock.execute},
        };
        return {{QStringLiteral("text"), text}, {QStringLiteral("clock"), clock},
                {QStringLiteral("effects"), m_effects}};
    }

private:
    struct TextRecord
    {
        int effect = 1;
        int speed = 5;
        int color = 1;     // white
        int direction = 1; // right to left
        int size = 32;
        int x = 0, y = 0, z = 0;
        QString content = QStringLiteral("欢迎光临");
    };
    struct ClockRecord
    {
        int type = 2; // the clock face
        int x = 0, y = 0, width = 200, height = 100;
        int execute = 1;
    };

    static constexpr qsizetype kKeptEffects = 1000;

    static QString hex2(int v) { return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')); }

    void trailing(const SimRequest &q, const SimReader &r) const
    {
        if (r.remaining() > 0)
            log(QStringLiteral("%1 has %2 byte(s) after its fields").arg(SimFrame::codeText(q.code)).arg(r.remaining()));
    }

    void textQuery(const SimRequest &q)
    {
        SimReader r = q.reader();
        const QHostAddress phone = r.ipv4("phone address");
        if (!r.ok())
            return malformed(q, r.error());
        trailing(q, r);
        sendReply(replyAddress(q, phone), SimFrameWriter(0x5401)
                                              .u8(quint8(m_text.effect))
                                              .u8(quint8(m_text.speed))
                                              .u8(quint8(m_text.color))
                                              .u8(quint8(m_text.direction))
                                              .u8(quint8(m_text.size))
                                              .u16(quint16(m_text.x))
                                              .u16(quint16(m_text.y))
                                              .u16(quint16(m_text.z))
                                              .text16(m_text.content)
                                              .frame());
    }

    void textSet(const SimRequest &q)
    {
        SimReader r = q.reader();
        TextRecord t;
        t.effect = r.u8("effect flag");
        t.speed = r.u8("speed");
        t.color = r.u8("colour code");
        t.direction = r.u8("direction code");
        t.size = r.u8("size");
        t.x = r.u16("x");
        t.y = r.u16("y");
        t.z = r.u16("z");
        const quint16 length = r.u16("text length");
        const QByteArray utf8 = r.bytes(length, "text");
        if (!r.ok())
            return malformed(q, r.error());
        trailing(q, r);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        t.content = decoder.decode(utf8);
        if (decoder.hasError())
            log(QStringLiteral("5402 text is not UTF-8: %1").arg(LogEscape::hex(utf8)));
        if (t.color > 0x0c)
            log(QStringLiteral("5402 colour code %1 is not one of 00 to 0c").arg(hex2(t.color)));
        if (t.direction > 0x04)
            log(QStringLiteral("5402 direction code %1 is not one of 00 to 04").arg(hex2(t.direction)));
        m_text = t;
        logState(QStringLiteral("text effect %1 speed %2 colour %3 direction %4 size %5 at %6,%7,%8 \"%9\"")
                     .arg(hex2(t.effect))
                     .arg(t.speed)
                     .arg(hex2(t.color), hex2(t.direction))
                     .arg(t.size)
                     .arg(t.x)
                     .arg(t.y)
                     .arg(t.z)
                     .arg(LogEscape::text(t.content)));
    }

    void clockQuery(const SimRequest &q)
    {
        SimReader r = q.reader();
        const QHostAddress phone = r.ipv4("phone address");
        if (!r.ok())
            return malformed(q, r.error());
        trailing(q, r);
        // The clock's answer has its own code, not that of the query.
        sendReply(replyAddress(q, phone), SimFrameWriter(0x5502)
                                              .u8(quint8(m_clock.type))
                                              .u16(quint16(m_clock.x))
                                              .u16(quint16(m_clock.y))
                                              .u16(quint16(m_clock.width))
                                              .u16(quint16(m_clock.height))
                                              .u8(quint8(m_clock.execute))
                                              .frame());
    }

    void clockSet(const SimRequest &q)
    {
        SimReader r = q.reader();
        ClockRecord c;
        c.type = r.u8("clock type");
        c.x = r.u16("x");
        c.y = r.u16("y");
        c.width = r.u16("width");
        c.height = r.u16("height");
        c.execute = r.u8("execute flag");
        if (!r.ok())
            return malformed(q, r.error());
        trailing(q, r);
        if (c.type != 1 && c.type != 2)
            log(QStringLiteral("5504 clock type %1 is neither 01 nor 02").arg(hex2(c.type)));
        if (c.execute != 1 && c.execute != 2)
            log(QStringLiteral("5504 execute flag %1 is neither 01 nor 02").arg(hex2(c.execute)));
        m_clock = c;
        logState(QStringLiteral("clock type %1 at %2,%3 size %4x%5 execute %6")
                     .arg(hex2(c.type))
                     .arg(c.x)
                     .arg(c.y)
                     .arg(c.width)
                     .arg(c.height)
                     .arg(hex2(c.execute)));
    }

    void effect(const SimRequest &q)
    {
        SimReader r = q.reader();
        const quint8 window = r.u8("window id");
        const quint8 group = r.u8("effect group");
        const quint8 variant = r.u8("effect variant");
        if (!r.ok())
            return malformed(q, r.error());
        trailing(q, r);
        const bool known = (group == 1 && variant == 0) || (group == 2 && variant == 0) || (group == 3 && variant <= 2);
        if (!known)
            log(QStringLiteral("5505 effect %1 %2 is not one this server plays").arg(hex2(group), hex2(variant)));
        bool hasWindow = false;
        for (const SimWindow &w : server().windows())
            hasWindow = hasWindow || w.id == window;
        if (!hasWindow)
            log(QStringLiteral("5505 window %1 is not one of this server's windows").arg(hex2(window)));
        const QString text = QStringLiteral("window %1 group %2 variant %3").arg(hex2(window), hex2(group), hex2(variant));
        m_effects << text;
        // The newest are what a test or a person wants; a flood must not grow them.
        if (m_effects.size() > kKeptEffects)
            m_effects.removeFirst();
        logState(QStringLiteral("effect ") + text);
    }

    TextRecord m_text;
    ClockRecord m_clock;
    QVariantList m_effects;
};

std::unique_ptr<SimFamily> makeOverlayFamily()
{
    return std::make_unique<OverlayFamily>();
}
