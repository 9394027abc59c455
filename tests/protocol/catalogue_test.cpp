#include "net/requestsender.h"
#include "protocol/catalogue.h"
#include "protocol/frame.h"
#include "support/testcontext.h"

#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

class CatalogueTest : public ContextTest
{
protected:
    void configure(ContextConfig &c) override
    {
        // Distinct ports, so that a row sent to the wrong one shows.
        c.serverPort = 15760;
        c.serverTimePort = 15762;
        c.serverFilePort = 15761;
    }
};

TEST_F(CatalogueTest, EveryDatagramRowGoesToItsPortWithItsTimeout)
{
    selectServer(QStringLiteral("127.0.0.2"));
    const QSet<QString> tenSeconds{QStringLiteral("5202"), QStringLiteral("5301")};
    int sent = 0;
    for (const RequestSpec *row : Catalogue::requests()) {
        const QString code = QLatin1String(row->code);
        m_recorder.frames.clear();
        RequestSender::shared().send(
            Frame::build(*row, QStringList(QString(QLatin1String(row->format)).count(QLatin1String("%@")), QStringLiteral("00"))));
        if (row->port == PortRole::FileStream || row->port == PortRole::Returned) {
            EXPECT_TRUE(m_recorder.frames.isEmpty()) << code.toStdString() << " is not a datagram";
            continue;
        }
        ASSERT_EQ(m_recorder.frames.size(), 1) << code.toStdString();
        const SentFrame &f = m_recorder.frames.first();
        ++sent;
        EXPECT_EQ(f.host, QStringLiteral("127.0.0.2"));
        EXPECT_EQ(f.port, code.startsWith(QLatin1String("5A")) ? 15762 : 15760) << code.toStdString();
        const bool parameterFrame = row == &Catalogue::kTimePlayParameters;
        EXPECT_EQ(f.timeoutSec, tenSeconds.contains(code) || parameterFrame ? 10 : -1) << code.toStdString();
        EXPECT_EQ(f.tag, 0);
        // The envelope: AND, direction 01, then the frame code.
        EXPECT_TRUE(f.hex.startsWith(QStringLiteral("414e4401") + code, Qt::CaseInsensitive)) << f.hex.toStdString();
    }
    EXPECT_GT(sent, 40);
}

TEST_F(CatalogueTest, FormatTextsAreHexAndOnlyThreeAreUpperCase)
{
    const QRegularExpression hexOrField(QStringLiteral("^([0-9a-fA-F]|%@)*$"));
    for (const RequestSpec *row : Catalogue::requests()) {
        const QString format = QLatin1String(row->format);
        EXPECT_TRUE(hexOrField.match(format).hasMatch()) << row->format;
        const bool upper = format.startsWith(QLatin1String("414E"));
        const QString code = QLatin1String(row->code);
        EXPECT_EQ(upper, code == QLatin1String("5204") || code == QLatin1String("5402") || code == QLatin1String("5505"))
            << row->format;
    }
    for (const ReplySpec *row : Catalogue::replies()) {
        EXPECT_EQ(QString(QLatin1String(row->codeText)), QStringLiteral("414e4402") + QString(QLatin1String(row->code)).toLower());
        EXPECT_EQ(Catalogue::replyForCode(QLatin1String(row->codeText)), row);
    }
    EXPECT_EQ(Catalogue::replyForCode(QStringLiteral("414e44025999")), nullptr);
}

TEST_F(CatalogueTest, FixedFramesDoNotDependOnTheSession)
{
    RequestSender::shared().send(Frame::build(Catalogue::kRestart));
    selectServer(QStringLiteral("127.0.0.9"), QStringLiteral("02"));
    RequestSender::shared().send(Frame::build(Catalogue::kAddWindow));
    ASSERT_EQ(m_recorder.frames.size(), 2);
    EXPECT_EQ(m_recorder.frames[0].hex, QStringLiteral("414e44015506"));
    EXPECT_EQ(m_recorder.frames[0].host, QString()); // no server selected yet: no destination
    EXPECT_EQ(m_recorder.frames[1].hex, QStringLiteral("414E44015204000190009600FA010E"));
    EXPECT_EQ(m_recorder.frames[1].hex.size(), 30);
}

TEST_F(CatalogueTest, FillPlacesFieldsInOrder)
{
    EXPECT_EQ(Frame::fill(Catalogue::kSetColor, {QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03")}),
              QStringLiteral("414e44015508010203"));
    EXPECT_EQ(Frame::fill(Catalogue::kAppendPlayFilesMore, {QStringLiteral("01"), QStringLiteral("0003"), QStringLiteral("616263")}),
              QStringLiteral("414e4401560101010003616263ff"));
    // Too few fields leave the rest empty rather than reading past the list.
    EXPECT_EQ(Frame::fill(Catalogue::kSetColor, {QStringLiteral("01")}), QStringLiteral("414e4401550801"));
}

} // namespace
