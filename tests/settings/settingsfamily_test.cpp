// The simulator's side of the settings commands, driven with frames written
// out by hand from the layout.
#include "sim/simfixture.h"


namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// What a freshly started simulator answers to the settings query.
const char *const kDefaultRecord = "414e44025501" "01" "00" "00b4" "01" "03" "0008" "30343a33303a3030"
                                   "000d" "443a2f514556412f6d65646961" "01" "00ff" "0080" "0040" "02" "01";

class SettingsFamilyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SimConfig c = loopbackSimConfig(m_phone.port());
        c.families = {QStringLiteral("settings")};
        m_sim = std::make_unique<SimServer>(c);
        ASSERT_TRUE(m_sim->start()) << m_sim->errorString().toStdString();
    }
    void toControl(const QByteArray &frame) { m_phone.send(frame, m_sim->udpPort()); }
    void toTime(const QByteArray &frame) { m_phone.send(frame, m_sim->timePort()); }
    QVariant state(const char *key) const { return m_sim->family(QStringLiteral("settings"))->state().value(QLatin1String(key)); }
    // The next reply of a code, as hex.
    QByteArray next(const char *code)
    {
        const auto d = m_phone.next(hex(code), 3000);
        return d ? d->data().toHex() : QByteArray("<none>");
    }
    // Waits until the simulator logged a line starting with prefix, among
    // the lines from the index given on.
    bool logged(const QString &prefix, qsizetype from = 0)
    {
        return waitUntil([&] {
            const QStringList lines = m_sim->logLines();
            for (qsizetype i = from; i < lines.size(); ++i)
                if (lines.at(i).startsWith(prefix))
                    return true;
            return false;
        }, 3000);
    }

    PhoneSocket m_phone;
    std::unique_ptr<SimServer> m_sim;
};

TEST_F(SettingsFamilyTest, QueriesAreAnsweredToTheAddressTheyCarry)
{
    toControl(hex("414e44015502" "7f000001"));
    EXPECT_EQ(next("414e44025501"), QByteArray(kDefaultRecord));

    toTime(hex("414e44015a02" "7f000001"));
    EXPECT_EQ(next("414e44025503"), QByteArray("414e44025503" "0f" "09"));

    // Another address than the sender's, where no phone logged in: the
    // server is not made to send there; the sender gets the answer.
    QUdpSocket other;
    ASSERT_TRUE(other.bind(QHostAddress("127.0.0.3"), m_phone.port()));
    toControl(hex("414e44015502" "7f000003"));
    EXPECT_EQ(next("414e44025501"), QByteArray(kDefaultRecord));
    EXPECT_FALSE(other.hasPendingDatagrams());
}

TEST_F(SettingsFamilyTest, VolumeBelongsToTheTimePort)
{
    toControl(hex("414e44015a02" "7f000001"));
    EXPECT_TRUE(logged("unhandled 5a02 on the control port"));
    toControl(hex("414e44015a03" "01"));
    EXPECT_TRUE(logged("unhandled 5a03 on the control port"));
    EXPECT_EQ(state("volume"), 9);
    spinFor(100); // an answer would be in by now
    EXPECT_EQ(m_phone.untaken(), 1); // the announcement only
}

TEST_F(SettingsFamilyTest, SetCommandsChangeTheState)
{
    struct SetCase
    {
        const char *name;
        bool timePort;
        const char *frame;
        QVariantMap expected;
    };
    const QList<SetCase> cases = {
        {"record with both texts empty", false,
         "414e44015501" "00" "01" "0064" "02" "0a" "0000" "0000" "0000" "0000",
         {{"restart", 0}, {"skipLogin", 1}, {"brightness", 100}, {"wifi", 2}, {"background", 10},
          {"restartTime", ""}, {"transferPath", ""}}},
        {"record with texts", false,
         "414e44015501" "01" "00" "00c8" "01" "0c" "0008" "30383a33303a3030" "0006" "e8a786e9a291",
         {{"restart", 1}, {"brightness", 200}, {"background", 12}, {"restartTime", "08:30:00"}, {"transferPath", "视频"}}},
        {"screen switch", false, "414e44015507" "02", {{"screenSwitch", 2}}},
        {"colour", false, "414e44015508" "000a" "0014" "01f4", {{"red", 10}, {"green", 20}, {"blue", 500}}},
        {"video source", false, "414e44015509" "00", {{"videoSource", 0}}},
        {"rotation", false, "414e4401550c" "03", {{"rotation", 3}}},
        {"volume", true, "414e44015a03" "0c", {{"volume", 12}}},
        {"volume above the maximum", true, "414e44015a03" "20", {{"volume", 15}}},
    };
    for (const SetCase &c : cases) {
        SCOPED_TRACE(c.name);
        const qsizetype lines = m_sim->logLines().size();
        if (c.timePort)
            toTime(hex(c.frame));
        else
            toControl(hex(c.frame));
        ASSERT_TRUE(logged("state settings", lines));
        for (auto it = c.expected.cbegin(); it != c.expected.cend(); ++it)
            EXPECT_EQ(state(it.key().toLatin1().constData()), it.value()) << it.key().toStdString();
    }

    // The whole record as the log shows it, and as the next query reads it.
    EXPECT_TRUE(hasLine(*m_sim, "state settings restart 01 skiplogin 00 brightness 200 wifi 01 background 0c "
                                "restarttime \"08:30:00\" path \"视频\" switch 02 rgb 10 20 500 source 00 rotation 03"));
    EXPECT_TRUE(hasLine(*m_sim, "state settings volume 15 of 15"));
    toControl(hex("414e44015501" "00" "00" "0001" "01" "00" "0000" "0000" "0000" "0000"));
    ASSERT_TRUE(logged("state settings restart 00 skiplogin 00 brightness 1 "));
    toControl(hex("414e44015502" "7f000001"));
    EXPECT_EQ(next("414e44025501"), QByteArray("414e44025501" "00" "00" "0001" "01" "00" "0000" "0000" "0000" "0000"
                                               "02" "000a" "0014" "01f4" "00" "03"));
}

TEST_F(SettingsFamilyTest, RestartAndTimeCorrectionAreLogged)
{
    toControl(hex("414e44015506"));
    EXPECT_TRUE(logged("restart requested by 127.0.0.1 (1 so far)"));
    toTime(hex("414e44015a01" "000001507f1cb800" "000d" "417369612f5368616e67686169"));
    EXPECT_TRUE(logged("time correction 1445241600000 ms = 2015-10-19 08:00:00.000 UTC, zone Asia/Shanghai"));
    EXPECT_EQ(state("restarts"), 1);
    EXPECT_EQ(state("timeZone"), "Asia/Shanghai");
}

TEST_F(SettingsFamilyTest, CutFramesAreLoggedAndChangeNothing)
{
    const QList<std::pair<bool, const char *>> cut = {
        {false, "414e44015501" "00" "01" "0064" "02" "0a" "0000"},           // placeholder missing
        {false, "414e44015501" "00" "01" "0064" "02" "0a" "0008" "3038"},    // time shorter than its count
        {false, "414e44015508" "000a" "0014"},                                // no blue
        {false, "414e44015507"},
        {false, "414e44015502" "7f00"},                                       // address cut: no answer
        {true, "414e44015a01" "000001507f1cb800" "000d" "4173"},
        {true, "414e44015a03"},
    };
    for (const auto &[timePort, frame] : cut) {
        SCOPED_TRACE(frame);
        const QByteArray bytes = hex(frame);
        const qsizetype lines = m_sim->logLines().size();
        if (timePort)
            toTime(bytes);
        else
            toControl(bytes);
        EXPECT_TRUE(logged(QStringLiteral("malformed %1: ").arg(QString::fromLatin1(bytes.mid(4, 2).toHex())), lines));
    }
    for (const QString &line : m_sim->logLines())
        EXPECT_FALSE(line.startsWith(QLatin1String("state settings"))) << line.toStdString();
    EXPECT_EQ(state("brightness"), 180);
    EXPECT_EQ(state("screenSwitch"), 1);
    spinFor(100); // an answer to the cut query would be in by now
    EXPECT_EQ(m_phone.untaken(), 1); // the announcement only
}

} // namespace
