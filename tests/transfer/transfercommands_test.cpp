#include "net/qvmethodlib.h"
#include "net/sendsocket.h"
#include "protocol/transfercommands.h"
#include "session/commonmanager.h"
#include "support/testcontext.h"

#include <QTcpSocket>

namespace {

// The announcement's frame; empty when none is built.
QString filesInfoFrame(qint64 length, const QString &type, const QString &name, const QString &window)
{
    const auto request = TransferCommands::filesInfo(length, type, name, window);
    return request ? request->frame : QString();
}

TEST(TransferCommands, TheAnnouncementCarriesWindowTypeNameAndContentLength)
{
    struct Case
    {
        qint64 length;
        const char *type;
        QString name;
        const char *window;
        const char *frame;
    };
    const Case cases[] = {
        {1000, "03", QStringLiteral("abc"), "01", "414e44015104" "01" "03" "0003" "616263" "00000000000003e8"},
        {0, "01", QStringLiteral("中文.jpg"), "02",
         "414e44015104" "02" "01" "000a" "e4b8ade696872e6a7067" "0000000000000000"},
        // Lengths past 4 GiB keep every byte.
        {0x123456789aLL, "03", QStringLiteral("2024010112345.mov"), "0a",
         "414e44015104" "0a" "03" "0011" "323032343031303131323334352e6d6f76" "000000123456789a"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(filesInfoFrame(c.length, QLatin1String(c.type), c.name, QLatin1String(c.window)),
                  QLatin1String(c.frame))
            << c.frame;
}

TEST(TransferCommands, ANameLongerThanItsCountCanSayIsNotAnnounced)
{
    EXPECT_TRUE(filesInfoFrame(1, QStringLiteral("01"), QString(0x10000, QLatin1Char('a')), QStringLiteral("01")).isEmpty());
    EXPECT_FALSE(filesInfoFrame(1, QStringLiteral("01"), QString(0xffff, QLatin1Char('a')), QStringLiteral("01")).isEmpty());
}

class TransferCommandsTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        selectServer(QStringLiteral("127.0.0.2"), QStringLiteral("01"));
    }
    static QVariantMap entry(const char *type, const QString &name)
    {
        return {{QStringLiteral("filesType"), QLatin1String(type)}, {QStringLiteral("filesName"), name}};
    }
};

TEST_F(TransferCommandsTest, AddAndShowNameTheFirstEntryAndGoToTheControlPort)
{
    const QVariantList list{entry("01", QStringLiteral("abc.jpg")), entry("03", QStringLiteral("zz.mov"))};
    QVmethodLib::addTovedioListWithDataSource(list, QStringLiteral("02"));
    QVmethodLib::toShowImageWithDataSource(list, QStringLiteral("02"));
    ASSERT_EQ(m_recorder.frames.size(), 2);
    EXPECT_EQ(m_recorder.frames[0].hex, QStringLiteral("414e44015101" "02" "0007" "6162632e6a7067"));
    EXPECT_EQ(m_recorder.frames[1].hex, QStringLiteral("414e44015102" "02" "0007" "6162632e6a7067"));
    for (const SentFrame &f : std::as_const(m_recorder.frames)) {
        EXPECT_EQ(f.host, QStringLiteral("127.0.0.2"));
        EXPECT_EQ(f.port, ctx().config().serverPort);
        EXPECT_EQ(f.timeoutSec, -1);
    }

    // An empty list names nothing and sends nothing.
    QVmethodLib::addTovedioListWithDataSource({}, QStringLiteral("02"));
    QVmethodLib::toShowImageWithDataSource({}, QStringLiteral("02"));
    EXPECT_EQ(m_recorder.frames.size(), 2);
}

TEST_F(TransferCommandsTest, CloseClosesTheStreamAndCarriesTypeAndNameButNoWindow)
{
    SendSocket &stream = SendSocket::shareMananger();
    stream.sendString(QStringLiteral("414e4401"), SendSocket::kFilesInfoTag);
    ASSERT_NE(stream.sendSocket(), nullptr);

    QVmethodLib::backToCloseSendFilesWithDataSource(entry("03", QStringLiteral("视频.mov")));
    EXPECT_EQ(stream.sendSocket(), nullptr);
    EXPECT_EQ(stream.queuedBlockCount(), 0);
    ASSERT_EQ(m_recorder.frames.size(), 1);
    EXPECT_EQ(m_recorder.frames[0].hex, QStringLiteral("414e44015103" "03" "000a" "e8a786e9a2912e6d6f76"));
    EXPECT_EQ(m_recorder.frames[0].port, ctx().config().serverPort);
}

} // namespace
