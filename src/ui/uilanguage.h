#pragma once

#include <QList>
#include <QLocale>
#include <QObject>
#include <QString>
#include <memory>

class AppContext;
class QTranslator;

// The language of the UI. The texts are written in Chinese; English comes
// from the translation built into the client, with Qt's own translations
// (dialog buttons and the like) for either language beside it. The user's
// choice ("语言版本") is kept in the preferences; following the system
// reads the locale. A change applies at once: translators are swapped and
// kLanguageChangedNotice goes out, on which every screen sets its texts
// again and the pages re-read theirs.
class UiLanguage : public QObject
{
    Q_OBJECT

public:
    enum Choice { FollowSystem, Chinese, English };
    Q_ENUM(Choice)

    static constexpr const char *kPreferenceKey = "Language";
    static constexpr const char *kLanguageChangedNotice = "didChangeLanguageNotice";

    explicit UiLanguage(AppContext &ctx);
    ~UiLanguage() override; // takes its translators out again
    static UiLanguage &shared();

    // The stored choice; FollowSystem when there is none (or an unknown one).
    Choice choice() const;
    // Stores the choice (on disk at once) and applies it.
    void setChoice(Choice choice);
    // Chinese or English: what the texts are in now.
    Choice language() const { return m_language; }
    // What following the system means under locale: Chinese for a Chinese
    // locale, and for one that names no language (C, POSIX), Chinese being
    // the client's own; English for every other.
    static Choice languageFor(const QLocale &locale);
    // Installs the translators for the stored choice under the default
    // locale. Posts the notice when the language is not the one in effect.
    void apply();

    // Whether Qt's own translation for the language in effect was found
    // (the system may not have Qt's translations installed).
    bool hasQtTranslation() const { return m_qtTranslated; }

private:
    void removeTranslators();
    bool install(std::unique_ptr<QTranslator> translator);

    AppContext &m_ctx;
    Choice m_language = Chinese; // the source texts, until apply() says otherwise
    bool m_qtTranslated = false;
    QList<QTranslator *> m_installed;
};
