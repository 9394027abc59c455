#pragma once

#include "protocol/catalogue.h"
#include "protocol/hexcodec.h"
#include "store/fmmanager.h"
#include "support/testcontext.h"
#include "ui/inputfield.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/pickerfield.h"
#include "ui/popupcenter.h"

#include <QMetaProperty>
#include <memory>
#include <ostream>

// Failures show texts, not their UTF-16 units.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

// A settings record as a server would answer it, field by field; each test
// changes what it needs.
struct RecordReply
{
    QString restart = "01", skipLogin = "00", light = "00c8", wifi = "01", colour = "03";
    QString time = "08:30:00", path;
    QString kaiguan = "01", red = "00ff", green = "0080", blue = "0000", source = "02", rotation = "01";

    static QString text(const QString &s)
    {
        const QByteArray utf8 = s.toUtf8();
        return utf8.isEmpty() ? QStringLiteral("00000000") : HexCodec::TenToHex(utf8.size()) + HexCodec::hexString(utf8);
    }
    QString hex() const
    {
        return "414e44025501" + restart + skipLogin + light + wifi + colour + text(time) + text(path) + kaiguan + red +
               green + blue + source + rotation;
    }
};

// A client with two known servers, the first one selected, and a stack to
// open screens on.
class SettingsScreenTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        addServer("一号服务器", "127.0.0.2", "00000001");
        addServer("二号服务器", "127.0.0.3", "00000002");
        selectServer("127.0.0.2");
    }
    void TearDown() override
    {
        m_nav.reset(); // screens go before their context
        ContextTest::TearDown();
    }

    static void addServer(const QString &name, const QString &ip, const QString &userId)
    {
        ASSERT_TRUE(FMManager::sharedManagerInstance().insertObjectByUserName(
            "Default", name, "468", "01", "1", ip, userId, "1", "01000000", "0"));
    }

    // Pushes the screen above a plain first screen, so that it can go back.
    template <class Screen>
    Screen *open()
    {
        if (!m_nav)
            m_nav = std::make_unique<KTBaseNavigationController>(new KTBaseViewController);
        auto *screen = new Screen;
        EXPECT_TRUE(m_nav->push(screen));
        return screen;
    }

    void post(const ReplySpec &reply, const QString &hex) { ctx().notices().post(QLatin1String(reply.notice), hex); }

    // The user opens the wheel, turns it to row and closes it.
    static void choose(InputField *field, int row)
    {
        field->beginEditing();
        if (auto *picker = qobject_cast<PickerField *>(field))
            picker->selectRow(row);
        field->endEditing();
    }

    PopupCenter &popups() { return ctx().shared<PopupCenter>(); }
    QStringList sent() const { return m_recorder.hexes(); }
    QStringList takeSent()
    {
        const QStringList out = m_recorder.hexes();
        m_recorder.frames.clear();
        return out;
    }

    // Everything a screen shows, read through its properties (a field by
    // its text), so that a test can tell whether anything changed.
    static QStringList shown(const QObject *screen)
    {
        QStringList out;
        const QMetaObject *mo = screen->metaObject();
        for (int i = KTBaseViewController::staticMetaObject.propertyCount(); i < mo->propertyCount(); ++i) {
            const QMetaProperty p = mo->property(i);
            const QVariant v = p.read(screen);
            if (auto *field = qobject_cast<InputField *>(v.value<QObject *>()))
                out << QStringLiteral("%1=%2").arg(QLatin1String(p.name()), field->text());
            else
                out << QStringLiteral("%1=%2").arg(QLatin1String(p.name()), v.toString());
        }
        return out;
    }

    std::unique_ptr<KTBaseNavigationController> m_nav;
};
