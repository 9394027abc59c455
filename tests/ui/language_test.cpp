// The language of the UI: the locale decides until the user chooses, the
// choice is kept, and a change reaches every living screen at once.
#include "protocol/catalogue.h"
#include "screens/playback/playwindowsetviewcontroller.h"
#include "support/testcontext.h"
#include "ui/datetimefield.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/ktbaseviewcontroller.h"
#include "ui/pickerfield.h"
#include "ui/rowlistmodel.h"
#include "ui/screenregistry.h"
#include "ui/uikit.h"
#include "ui/uilanguage.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QLibraryInfo>
#include <QMetaProperty>
#include <QRegularExpression>
#include <QSettings>

namespace {

QString scanButton()
{
    return QCoreApplication::translate("ScanDeviceViewController", "扫描服务端设备");
}

class UiLanguageTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        watch();
    }
    void TearDown() override
    {
        QLocale::setDefault(m_locale);
        ContextTest::TearDown();
    }
    void watch()
    {
        ctx().notices().subscribe(&m_observer, QLatin1String(UiLanguage::kLanguageChangedNotice),
                                  [this](const QVariant &) { ++m_notices; });
    }
    UiLanguage &language() { return UiLanguage::shared(); }
    QString storedChoice()
    {
        return QSettings(ctx().preferences().fileName(), QSettings::IniFormat)
            .value(QLatin1String(UiLanguage::kPreferenceKey))
            .toString();
    }

    QLocale m_locale;
    QObject m_observer;
    int m_notices = 0;
};

TEST_F(UiLanguageTest, TheLocaleDecidesUntilTheUserChooses)
{
    struct Case
    {
        QLocale locale;
        UiLanguage::Choice language;
        const char *scanButton;
    };
    const Case cases[] = {
        {QLocale(QLocale::Chinese, QLocale::China), UiLanguage::Chinese, "扫描服务端设备"},
        {QLocale(QLocale::Chinese, QLocale::Taiwan), UiLanguage::Chinese, "扫描服务端设备"},
        {QLocale(QLocale::English, QLocale::UnitedStates), UiLanguage::English, "Scan for servers"},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), UiLanguage::English, "Scan for servers"},
        // A language we have no texts for: English is the likelier one to be read.
        {QLocale(QLocale::German, QLocale::Germany), UiLanguage::English, "Scan for servers"},
        {QLocale(QLocale::Japanese, QLocale::Japan), UiLanguage::English, "Scan for servers"},
        // No language at all (LANG=C): the client's own.
        {QLocale::c(), UiLanguage::Chinese, "扫描服务端设备"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        EXPECT_EQ(UiLanguage::languageFor(c.locale), c.language);
        QLocale::setDefault(c.locale);
        language().apply();
        EXPECT_EQ(language().language(), c.language);
        EXPECT_EQ(scanButton(), QString::fromUtf8(c.scanButton));
    }
    EXPECT_EQ(language().choice(), UiLanguage::FollowSystem);
    EXPECT_TRUE(storedChoice().isEmpty()); // following the system stores nothing
}

TEST_F(UiLanguageTest, TheChoiceWinsOverTheLocaleIsKeptAndSurvivesARestart)
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    language().apply();
    EXPECT_EQ(scanButton(), "扫描服务端设备");
    EXPECT_EQ(m_notices, 0); // Chinese already

    language().setChoice(UiLanguage::English);
    EXPECT_EQ(scanButton(), "Scan for servers");
    EXPECT_EQ(storedChoice(), "en");
    EXPECT_EQ(m_notices, 1);
    language().setChoice(UiLanguage::English);
    EXPECT_EQ(m_notices, 1); // nothing changed, nothing to redo

    language().setChoice(UiLanguage::FollowSystem);
    EXPECT_EQ(scanButton(), "扫描服务端设备");
    EXPECT_EQ(storedChoice(), "system");
    EXPECT_EQ(m_notices, 2);

    // Chosen, then the client ends: its translators go with it; the next
    // start finds the choice and applies it whatever the locale says.
    language().setChoice(UiLanguage::English);
    m_ctx.reset();
    EXPECT_EQ(scanButton(), "扫描服务端设备");
    m_ctx = std::make_unique<AppContext>(loopbackConfig(m_dir.path()));
    watch();
    EXPECT_EQ(language().choice(), UiLanguage::English);
    language().apply();
    EXPECT_EQ(scanButton(), "Scan for servers");
    EXPECT_EQ(m_notices, 4);

    language().setChoice(UiLanguage::Chinese);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    language().apply();
    EXPECT_EQ(scanButton(), "扫描服务端设备");
}

TEST_F(UiLanguageTest, QtsOwnTextsFollowWhereTheSystemHasThem)
{
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(dir + QStringLiteral("/qtbase_zh_CN.qm")))
        GTEST_SKIP() << "Qt's translations are not installed in " << dir.toStdString();
    const auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    language().setChoice(UiLanguage::Chinese);
    EXPECT_TRUE(language().hasQtTranslation());
    EXPECT_EQ(cancel(), "取消");
    language().setChoice(UiLanguage::English);
    EXPECT_EQ(cancel(), "Cancel");
}

// Every text a screen holds: its text properties, those of its fields and
// the rows of its lists. Dates and times are left out: they are the clock's.
QStringList heldTexts(const QObject *object, const QString &prefix = QString())
{
    QStringList out;
    const QMetaObject *meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        const QString name = prefix + QLatin1String(property.name());
        const QVariant value = property.read(object);
        const int type = value.metaType().id();
        if (type == QMetaType::QString) {
            out << name + QLatin1Char('=') + value.toString();
        } else if (type == QMetaType::QStringList || type == QMetaType::QVariantList || type == QMetaType::QVariantMap) {
            out << name + QLatin1Char('=') + QString::fromUtf8(QJsonDocument::fromVariant(value).toJson(QJsonDocument::Compact));
        } else if (value.metaType().flags() & QMetaType::PointerToQObject) {
            const QObject *child = value.value<QObject *>();
            if (!child || qobject_cast<const DateTimeField *>(child) || qobject_cast<const KTBaseViewController *>(child)
                || qobject_cast<const KTBaseNavigationController *>(child))
                continue;
            if (auto *model = qobject_cast<const RowListModel *>(child))
                out << name + QLatin1Char('=') + QString::fromUtf8(QJsonDocument::fromVariant(model->rows()).toJson(QJsonDocument::Compact));
            else
                out << heldTexts(child, name + QLatin1Char('.'));
        }
    }
    return out;
}

TEST_F(UiLanguageTest, EveryScreenSetsItsTextsAgainInTheNewLanguage)
{
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    KTBaseNavigationController &nav = UiKit::shared().navigation();
    for (const QString &name : ScreenRegistry::names()) {
        SCOPED_TRACE(name.toStdString());
        language().setChoice(UiLanguage::Chinese);
        // Below another screen, as every working screen stands.
        ASSERT_TRUE(nav.push(new KTBaseViewController));
        KTBaseViewController *screen = ScreenRegistry::create(name);
        ASSERT_TRUE(screen && nav.push(screen));
        const QStringList chinese = heldTexts(screen);

        // Switched under it, it holds what a screen made in English holds.
        language().setChoice(UiLanguage::English);
        KTBaseViewController *fresh = ScreenRegistry::create(name);
        ASSERT_TRUE(fresh && nav.push(fresh));
        const QStringList english = heldTexts(screen);
        EXPECT_EQ(english, heldTexts(fresh));
        for (const QString &text : english)
            EXPECT_FALSE(text.contains(han)) << text.toStdString();

        // And back.
        nav.pop();
        language().setChoice(UiLanguage::Chinese);
        EXPECT_EQ(heldTexts(screen), chinese);
        nav.popToRoot();
    }
}

TEST_F(UiLanguageTest, TextsShownFromAServersReplyFollowToo)
{
    struct Case
    {
        const char *fields; // of the window's reply: x, y, width, height, interval, effect
        const char *chinese, *english;
    };
    const Case cases[] = {
        {"0000" "0000" "0064" "0064" "0009" "0005", "淡入淡出", "Fade"},
        {"0000" "0000" "0064" "0064" "000c" "0005", "未知效果 (12)", "Unknown transition (12)"},
    };
    KTBaseNavigationController &nav = UiKit::shared().navigation();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.chinese);
        language().setChoice(UiLanguage::Chinese);
        auto *screen = qobject_cast<PlayWindowSetViewController *>(
            ScreenRegistry::create(QStringLiteral("PlayWindowSetViewController")));
        ASSERT_TRUE(screen && nav.push(screen));
        ctx().notices().post(QLatin1String(Catalogue::kWindowInfoReply.notice),
                             QStringLiteral("414e44025201") + QLatin1String(c.fields));
        EXPECT_EQ(screen->animationField()->text(), QString::fromUtf8(c.chinese));
        language().setChoice(UiLanguage::English);
        EXPECT_EQ(screen->animationField()->text(), QLatin1String(c.english));
        language().setChoice(UiLanguage::Chinese);
        EXPECT_EQ(screen->animationField()->text(), QString::fromUtf8(c.chinese));
        nav.popToRoot();
    }
}

} // namespace
