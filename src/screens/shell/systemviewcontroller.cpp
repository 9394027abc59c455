#include "screens/shell/systemviewcontroller.h"

#include "core/appcontext.h"
#include "screens/shell/screenopener.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/screenregistry.h"

#include <QCoreApplication>
#include <QVariantMap>
#include <array>

namespace {
constexpr int kLanguageTag = 6;
constexpr int kBackTag = 8;

struct Entry
{
    const char *title;
    const char *target; // null: opens nothing
};
// By tag.
constexpr std::array<Entry, 9> kEntries{{
    {QT_TRANSLATE_NOOP("SystemViewController", "系统设置"), "SystemSetViewController"},
    {QT_TRANSLATE_NOOP("SystemViewController", "即时重启"), "RestartViewController"},
    {QT_TRANSLATE_NOOP("SystemViewController", "窗口设置"), "WindowSetViewController"},
    {QT_TRANSLATE_NOOP("SystemViewController", "插播文字"), "SpotWordsViewController"},
    {QT_TRANSLATE_NOOP("SystemViewController", "时钟设置"), "ClockSetViewController"},
    {QT_TRANSLATE_NOOP("SystemViewController", "时间校正"), "TimeCorrectionViewController"},
    {QT_TRANSLATE_NOOP("SystemViewController", "语言版本"), nullptr},
    {QT_TRANSLATE_NOOP("SystemViewController", "软件信息"), "SoftInfoViewController"},
    {"", nullptr},
}};
}

QEVA_REGISTER_SCREEN(SystemViewController)

SystemViewController::SystemViewController()
    : m_buttonModel(new RowListModel({QStringLiteral("tag"), QStringLiteral("title")}, QString(), this))
{
    m_buttonModel->setRows(buttons());
    setTitle(QCoreApplication::translate("SystemViewController", "系统设置"));
}

QVariantList SystemViewController::buttons() const
{
    QVariantList out;
    for (int tag = 0; tag < int(kEntries.size()); ++tag) {
        const char *title = kEntries[tag].title;
        out.append(QVariantMap{
            {QStringLiteral("tag"), tag},
            {QStringLiteral("title"),
             *title ? QCoreApplication::translate("SystemViewController", title) : QString()},
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
    if (tag < 0 || tag >= int(kEntries.size()) || tag == kLanguageTag || !kEntries[tag].target)
        return;
    KTBaseNavigationController *nav =
        m_viewController ? m_viewController->navigationController() : navigationController();
    // The container hid the bar; the opened screen needs it for its way back.
    if (ScreenOpener::pushScreenNamed(nav, QLatin1String(kEntries[tag].target)))
        nav->setNavigationBarHidden(false);
}
