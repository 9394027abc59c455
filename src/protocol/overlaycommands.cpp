#include "protocol/overlaycommands.h"

#include "core/logging.h"
#include "protocol/hexcodec.h"
#include "protocol/hexreader.h"

#include <limits>

namespace {

// One UDP datagram over IPv4 holds at most this many bytes.
constexpr qint64 kMaxDatagram = 65507;
// Header, the eight fixed fields and the text length of the 5402 frame.
constexpr qint64 kSpotWordsFixedBytes = 19;

bool isCode(const QString &code)
{
    if (code.size() != 2)
        return false;
    for (const QChar c : code) {
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F')))
            return false;
    }
    return true;
}

// Collects the fields of one frame, remembering the first that does not fit.
class FieldWriter
{
public:
    explicit FieldWriter(const QMap<QString, QString> &parameters) : m_parameters(parameters) {}

    void code(const char *key)
    {
        const QString value = m_parameters.value(QLatin1String(key));
        if (!isCode(value))
            refuse(key, value);
        m_fields << value;
    }
    void number(const char *key, int bytes)
    {
        const QString text = m_parameters.value(QLatin1String(key));
        const qint64 value = OverlayCommands::integerValue(text);
        const qint64 max = bytes == 1 ? 0xff : 0xffff;
        if (value < 0 || value > max)
            refuse(key, text);
        m_fields << (bytes == 1 ? HexCodec::TenToHexForTwo(value) : HexCodec::TenToHex(value));
    }
    void text(const char *key, qint64 maxBytes)
    {
        const QString value = m_parameters.value(QLatin1String(key));
        const QString hex = HexCodec::chineseToHex(value);
        const qint64 bytes = hex.size() / 2;
        if (bytes > maxBytes)
            refuse(key, QStringLiteral("%1 bytes").arg(bytes));
        m_fields << HexCodec::TenToHex(bytes) << hex;
    }

    std::optional<Request> request(const RequestSpec &spec, QString *misfit) const
    {
        if (!m_misfit.isEmpty()) {
            qevaLog(lcProtocol, QStringLiteral("%1: %2 \"%3\" does not fit its field; not sent")
                                    .arg(QLatin1String(spec.builder), m_misfit, m_misfitValue));
            if (misfit)
                *misfit = m_misfit;
            return std::nullopt;
        }
        if (misfit)
            misfit->clear();
        return Frame::build(spec, m_fields);
    }

private:
    void refuse(const char *key, const QString &value)
    {
        if (!m_misfit.isEmpty())
            return;
        m_misfit = QLatin1String(key);
        m_misfitValue = value;
    }

    const QMap<QString, QString> &m_parameters;
    QStringList m_fields;
    QString m_misfit;
    QString m_misfitValue;
};

QString decimal(qint64 v)
{
    return QString::number(v);
}

// A code that is not hex gives -1, which no list has.
int codeRow(const QString &code)
{
    bool ok = false;
    const int row = code.toInt(&ok, 16);
    return ok ? row : -1;
}

} // namespace

namespace OverlayCommands {

qint64 integerValue(const QString &text)
{
    return HexCodec::integerValue(text);
}

SpotWordsRecord SpotWordsRecord::fromReply(const QMap<QString, QString> &reply)
{
    SpotWordsRecord r;
    r.effect = reply.value(QStringLiteral("isWordsEffect")).toInt(nullptr, 16) == 1 ? QStringLiteral("01") : QStringLiteral("00");
    r.speed = reply.value(QStringLiteral("wordsSpeed"));
    r.color = reply.value(QStringLiteral("wordsColorHex"));
    r.direction = reply.value(QStringLiteral("fangxiangHex"));
    r.size = reply.value(QStringLiteral("wordSize"));
    r.x = reply.value(QStringLiteral("XLong"));
    r.y = reply.value(QStringLiteral("YLong"));
    r.z = reply.value(QStringLiteral("ZLong"));
    r.text = reply.value(QStringLiteral("contentString"));
    return r;
}

QMap<QString, QString> SpotWordsRecord::parameters() const
{
    return {{QStringLiteral("isEffect"), effect}, {QStringLiteral("speed"), speed},
            {QStringLiteral("colorType"), color}, {QStringLiteral("fangxiangType"), direction},
            {QStringLiteral("wordsSize"), size},  {QStringLiteral("weizhiX"), x},
            {QStringLiteral("weizhiY"), y},       {QStringLiteral("weizhiZ"), z},
            {textKey(), text}};
}

QString SpotWordsRecord::textKey()
{
    return QStringLiteral("wordsString");
}

int SpotWordsRecord::colorRow() const
{
    return codeRow(color);
}

int SpotWordsRecord::directionRow() const
{
    return codeRow(direction);
}

ClockRecord ClockRecord::fromReply(const QMap<QString, QString> &reply)
{
    ClockRecord r;
    r.type = reply.value(QStringLiteral("clockType")).toInt(nullptr, 16) == 1 ? QStringLiteral("01") : QStringLiteral("02");
    r.x = reply.value(QStringLiteral("XLong"));
    r.y = reply.value(QStringLiteral("YLong"));
    r.width = reply.value(QStringLiteral("WLong"));
    r.height = reply.value(QStringLiteral("HLong"));
    r.run = reply.value(QStringLiteral("isexecute")).toInt() == 1 ? QStringLiteral("01") : QStringLiteral("02");
    return r;
}

bool ClockRecord::isDigital() const
{
    return type == QLatin1String("01");
}

bool ClockRecord::isRunning() const
{
    return run == QLatin1String("01");
}

QMap<QString, QString> ClockRecord::parameters() const
{
    return {{QStringLiteral("clockType"), type}, {QStringLiteral("weizhiX"), x},
            {QStringLiteral("weizhiY"), y},      {QStringLiteral("daxiaoX"), width},
            {QStringLiteral("daxiaoY"), height}, {QStringLiteral("isExecute"), run}};
}

std::optional<Request> spotWords(const QMap<QString, QString> &parameters, QString *misfit)
{
    FieldWriter w(parameters);
    w.code("isEffect");
    w.number("speed", 1);
    w.code("colorType");
    w.code("fangxiangType");
    w.number("wordsSize", 1);
    w.number("weizhiX", 2);
    w.number("weizhiY", 2);
    w.number("weizhiZ", 2);
    w.text("wordsString", kMaxDatagram - kSpotWordsFixedBytes);
    return w.request(Catalogue::kSetSpotWords, misfit);
}

std::optional<Request> clock(const QMap<QString, QString> &parameters, QString *misfit)
{
    FieldWriter w(parameters);
    w.code("clockType");
    w.number("weizhiX", 2);
    w.number("weizhiY", 2);
    w.number("daxiaoX", 2);
    w.number("daxiaoY", 2);
    w.code("isExecute");
    return w.request(Catalogue::kSetClock, misfit);
}

QString animationOrderString(int tag, const QString &windowId)
{
    // Tag order of the chooser: rotation, movement, then three scenes.
    static const RequestSpec *const rows[] = {
        &Catalogue::kAnimation0100, &Catalogue::kAnimation0200, &Catalogue::kAnimation0301,
        &Catalogue::kAnimation0300, &Catalogue::kAnimation0302,
    };
    if (tag < 1 || tag > int(std::size(rows)))
        return QString();
    return Frame::fill(*rows[tag - 1], {windowId});
}

Request spotWordsQuery(const QString &phoneIpHex)
{
    return Frame::build(Catalogue::kSpotWordsQuery, {phoneIpHex});
}

Request clockQuery(const QString &phoneIpHex)
{
    return Frame::build(Catalogue::kClockQuery, {phoneIpHex});
}

std::optional<Request> animationOrder(const QString &orderString)
{
    if (orderString.isEmpty()) {
        qevaLog(lcProtocol, QStringLiteral("sendAnimationOrderWithOrderString: no effect chosen; not sent"));
        return std::nullopt;
    }
    // Every effect row goes to the control port without a time-out.
    return Request{&Catalogue::kAnimation0100, orderString};
}

std::optional<QMap<QString, QString>> getSpotWordsInitInfoWithModelNotice(const QString &replyHex)
{
    HexReader r(replyHex, 12);
    // The speed, colour and direction are kept as their hex and read as numbers.
    const auto effect = r.take(1);
    const auto speedHex = r.take(1);
    const auto colorHex = r.take(1);
    const auto directionHex = r.take(1);
    const auto size = r.takeNumber(1);
    const auto x = r.takeNumber(2);
    const auto y = r.takeNumber(2);
    const auto z = r.takeNumber(2);
    const auto length = r.takeNumber(2);
    if (!effect || !speedHex || !colorHex || !directionHex || !size || !x || !y || !z || !length)
        return std::nullopt;
    const auto speed = HexReader(*speedHex).takeNumber(1);
    const auto color = HexReader(*colorHex).takeNumber(1);
    const auto direction = HexReader(*directionHex).takeNumber(1);
    if (!speed || !color || !direction)
        return std::nullopt;
    // A text that is not UTF-8 is shown empty rather than losing the
    // settings around it; a text cut short is a reply cut short.
    QString content;
    if (*length > 0) {
        const auto textHex = r.take(*length);
        if (!textHex)
            return std::nullopt;
        content = HexCodec::stringFromHexString(*textHex).value_or(QString());
    }

    return QMap<QString, QString>{
        {QStringLiteral("isWordsEffect"), *effect},
        {QStringLiteral("wordsSpeedHex"), *speedHex},
        {QStringLiteral("wordsSpeed"), decimal(*speed)},
        {QStringLiteral("wordsColorHex"), *colorHex},
        {QStringLiteral("colorIndex"), decimal(*color)},
        {QStringLiteral("fangxiangHex"), *directionHex},
        {QStringLiteral("fangxiangIndex"), decimal(*direction)},
        {QStringLiteral("wordSize"), decimal(*size)},
        {QStringLiteral("XLong"), decimal(*x)},
        {QStringLiteral("YLong"), decimal(*y)},
        {QStringLiteral("ZLong"), decimal(*z)},
        {QStringLiteral("contentString"), content},
    };
}

std::optional<QMap<QString, QString>> getClockSetInitInfoWithModelNotice(const QString &replyHex)
{
    HexReader r(replyHex, 12);
    const auto type = r.take(1);
    const auto x = r.takeNumber(2);
    const auto y = r.takeNumber(2);
    const auto w = r.takeNumber(2);
    const auto h = r.takeNumber(2);
    const auto execute = r.takeNumber(1);
    if (!type || !x || !y || !w || !h || !execute)
        return std::nullopt;
    return QMap<QString, QString>{
        {QStringLiteral("clockType"), *type},  {QStringLiteral("XLong"), decimal(*x)},
        {QStringLiteral("YLong"), decimal(*y)}, {QStringLiteral("WLong"), decimal(*w)},
        {QStringLiteral("HLong"), decimal(*h)}, {QStringLiteral("isexecute"), decimal(*execute)},
    };
}

} // namespace OverlayCommands
