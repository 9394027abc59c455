#include "screens/shell/systemviewcontroller.h"

#include "core/appcontext.h"
#include "screens/overlays/clocksetviewcontroller.h"
#include "screens/overlays/spotwordsviewcontroller.h"
#include "screens/playback/windowsetviewcontroller.h"
#include "screens/settings/restartviewcontroller.h"
#include "screens/settings/systemsetviewcontroller.h"
#include "screens/settings/timecorrectionviewcontroller.h"
#include "screens/shell/screenopener.h"
#include "screens/shell/softinfoviewcontroller.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/popupcenter.h"
#include "ui/uilanguage.h"

#include <QCoreApplication>
#include <QVariantMap>
#include <array>

namespace {
constexpr int kLanguageTag = 6;
constexpr int kBackTag = 8;

struct Entry
{
    const char *title;
    ScreenOpener::Factory target; // null: opens nothing
};
// By tag.
constexpr std::array<Entry, 9> kEntries{{
    {QT_TRANSLATE_NOOP("SystemViewController", "系统设置"), &ScreenOpener::make<SystemSetViewController>},
    {QT_TRANSLATE_NOOP("SystemViewController", "即时重启"), &ScreenOpener::make<RestartViewController>},
    {QT_TRANSLATE_NOOP("SystemViewController", "窗口设置"), &ScreenOpener::make<WindowSetViewController>},
    {QT_TRANSLATE_NOOP("SystemViewController", "插播文字"), &ScreenOpener::make<SpotWordsViewController>},
    {QT_TRANSLATE_NOOP("SystemViewController", "时钟设置"), &ScreenOpener::make<ClockSetViewController>},
    {QT_TRANSLATE_NOOP("SystemViewController", "时间校正"), &ScreenOpener::make<TimeCorrectionViewController>},
    {QT_TRANSLATE_NOOP("SystemViewController", "语言版本"), nullptr},
    {QT_TRANSLATE_NOOP("SystemViewController", "软件信息"), &ScreenOpener::make<SoftInfoViewController>},
    {"", nullptr},
}};

// The language sheet's entries, in UiLanguage::Choice order. Each language
// is also named in itself, so that a user finds it whatever the UI is in.
constexpr std::array<const char *, 3> kLanguageChoices{{
    QT_TRANSLATE_NOOP("SystemViewController", "跟随系统"),
    QT_TRANSLATE_NOOP("SystemViewController", "中文"),
    QT_TRANSLATE_NOOP("SystemViewController", "英文 (English)"),
}};
static_assert(UiLanguage::FollowSystem == 0 && UiLanguage::Chinese == 1 && UiLanguage::English == 2);

QString translated(const char *text)
{
    return QCoreApplication::translate("SystemViewController", text);
}
}

SystemViewController::SystemViewController()
    : m_buttonModel(new RowListModel({QStringLiteral("tag"), QStringLiteral("title")}, QString(), this))
{
    retranslate();
}

void SystemViewController::retranslate()
{
    setTitle(QCoreApplication::translate("SystemViewController", "系统设置"));
    m_buttonModel->setRows(buttons());
}

QVariantList SystemViewController::buttons() const
{
    QVariantList out;
    for (int tag = 0; tag < int(kEntries.size()); ++tag) {
        const char *title = kEntries[tag].title;
        out.append(QVariantMap{
            {QStringLiteral("tag"), tag},
            {QStringLiteral("title"), *title ? translated(title) : QString()},
        });
    }
    return out;
}

void SystemViewController::viewWillAppear()
{
    setNavigationBarHidden(true);
}

void SystemViewController::systemButtonAction(int tag)
{
    if (tag == kBackTag) {
        context().notices().post(QLatin1String(kTagActionBackNotice));
        return;
    }
    if (tag == kLanguageTag) {
        chooseLanguage();
        return;
    }
    if (tag < 0 || tag >= int(kEntries.size()) || !kEntries[tag].target)
        return;
    KTBaseNavigationController *nav =
        m_viewController ? m_viewController->navigationController() : navigationController();
    // The container hid the bar; the opened screen needs it for its way back.
    if (ScreenOpener::push(nav, kEntries[tag].target))
        nav->setNavigationBarHidden(false);
}

void SystemViewController::chooseLanguage()
{
    const int current = int(context().shared<UiLanguage>().choice());
    QStringList buttons;
    for (int i = 0; i < int(kLanguageChoices.size()); ++i)
        buttons << (i == current ? QStringLiteral("✓ ") : QString()) + translated(kLanguageChoices[i]);
    buttons << QCoreApplication::translate("SystemViewController", "取消");
    actionSheet(QCoreApplication::translate("SystemViewController", "语言版本"), buttons, [this](int index) {
        if (index < 0 || index >= int(kLanguageChoices.size()))
            return; // "取消"
        context().shared<UiLanguage>().setChoice(UiLanguage::Choice(index));
        popups().showSuccess(QCoreApplication::translate("SystemViewController", "设置成功"));
    });
}
