#include "ui/uilanguage.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "core/logsink.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
// The English translation of the client's texts, built into the library.
const QString kEnglishFile = QStringLiteral(":/i18n/qeva-remote_en.qm");

QString storedText(UiLanguage::Choice choice)
{
    switch (choice) {
    case UiLanguage::Chinese:
        return QStringLiteral("zh_CN");
    case UiLanguage::English:
        return QStringLiteral("en");
    case UiLanguage::FollowSystem:
        break;
    }
    return QStringLiteral("system");
}

QLocale localeOf(UiLanguage::Choice language)
{
    return language == UiLanguage::English ? QLocale(QLocale::English, QLocale::UnitedStates)
                                           : QLocale(QLocale::Chinese, QLocale::China);
}
} // namespace

UiLanguage::UiLanguage(AppContext &ctx)
    : m_ctx(ctx)
{
}

UiLanguage::~UiLanguage()
{
    removeTranslators();
}

UiLanguage &UiLanguage::shared()
{
    return AppContext::current()->shared<UiLanguage>();
}

UiLanguage::Choice UiLanguage::choice() const
{
    const QString stored = m_ctx.preferences().string(QLatin1String(kPreferenceKey));
    for (Choice c : {Chinese, English})
        if (stored == storedText(c))
            return c;
    return FollowSystem;
}

void UiLanguage::setChoice(Choice choice)
{
    Preferences &prefs = m_ctx.preferences();
    prefs.setString(QLatin1String(kPreferenceKey), storedText(choice));
    prefs.sync(); // the screen says it is set: it is on disk
    qevaLog(lcUi, QStringLiteral("language: %1").arg(storedText(choice)));
    apply();
}

UiLanguage::Choice UiLanguage::languageFor(const QLocale &locale)
{
    // The user's languages in order of preference (LANGUAGE, then the
    // locale): the first that we have decides.
    bool namesOne = false;
    for (const QString &name : locale.uiLanguages()) {
        const QLocale::Language language = QLocale(name).language();
        if (language == QLocale::Chinese)
            return Chinese;
        if (language == QLocale::English)
            return English;
        namesOne = namesOne || (language != QLocale::C && language != QLocale::AnyLanguage);
    }
    // Someone who reads neither is more likely to read English than Chinese.
    return namesOne ? English : Chinese;
}

void UiLanguage::apply()
{
    const Choice wanted = choice();
    const Choice language = wanted == FollowSystem ? languageFor(QLocale()) : wanted;
    const Choice previous = m_language;

    removeTranslators();
    m_language = language;
    if (language == English) {
        auto own = std::make_unique<QTranslator>();
        if (!own->load(kEnglishFile) || !install(std::move(own))) {
            qCWarning(lcUi) << "the English translation" << kEnglishFile << "could not be loaded: the texts stay Chinese";
            m_language = Chinese;
        }
    }
    // Qt's own texts in the same language, where the system has them.
    const QString qtDir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    m_qtTranslated = false;
    for (const char *catalogue : {"qtbase", "qtdeclarative"}) {
        auto qt = std::make_unique<QTranslator>();
        if (qt->load(localeOf(m_language), QLatin1String(catalogue), QStringLiteral("_"), qtDir))
            m_qtTranslated = install(std::move(qt)) || m_qtTranslated;
    }
    if (m_language == previous)
        return;
    qevaLog(lcUi, QStringLiteral("texts in %1").arg(storedText(m_language)));
    m_ctx.notices().post(QLatin1String(kLanguageChangedNotice));
}

bool UiLanguage::install(std::unique_ptr<QTranslator> translator)
{
    if (!QCoreApplication::instance() || !QCoreApplication::installTranslator(translator.get()))
        return false;
    m_installed.append(translator.release());
    return true;
}

void UiLanguage::removeTranslators()
{
    for (QTranslator *t : std::as_const(m_installed)) {
        if (QCoreApplication::instance())
            QCoreApplication::removeTranslator(t);
        delete t;
    }
    m_installed.clear();
}
