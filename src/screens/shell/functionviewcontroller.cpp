#include "screens/shell/functionviewcontroller.h"

#include "screens/shell/screenopener.h"
#include "ui/screenregistry.h"

#include <QCoreApplication>
#include <QVariantMap>
#include <array>

QEVA_REGISTER_SCREEN(FunctionViewController)

namespace {
struct Entry
{
    const char *title;
    const char *target;
};
// By tag.
constexpr std::array<Entry, 5> kEntries{{
    {QT_TRANSLATE_NOOP("FunctionViewController", "视频文件传输"), "PlayFilesViewController"},
    {QT_TRANSLATE_NOOP("FunctionViewController", "视频播放控制"), "PlayControlViewController"},
    {QT_TRANSLATE_NOOP("FunctionViewController", "视频窗体设定"), "PlayWindowSetViewController"},
    {QT_TRANSLATE_NOOP("FunctionViewController", "定时播放设定"), "AddTimePlayViewController"},
    {QT_TRANSLATE_NOOP("FunctionViewController", "动画互动发送"), "AnimationViewController"},
}};
}

FunctionViewController::FunctionViewController()
    : m_buttonModel(new RowListModel({QStringLiteral("tag"), QStringLiteral("title")}, QString(), this))
{
    retranslate();
}

void FunctionViewController::retranslate()
{
    setTitle(QCoreApplication::translate("FunctionViewController", "QEVA服务端窗口"));
    m_buttonModel->setRows(buttons());
}

QVariantList FunctionViewController::buttons() const
{
    QVariantList out;
    for (int tag = 0; tag < int(kEntries.size()); ++tag)
        out.append(QVariantMap{{QStringLiteral("tag"), tag},
                               {QStringLiteral("title"),
                                QCoreApplication::translate("FunctionViewController", kEntries[tag].title)}});
    return out;
}

void FunctionViewController::buttonActionTouch(int tag)
{
    if (tag < 0 || tag >= int(kEntries.size()))
        return;
    ScreenOpener::pushScreenNamed(navigationController(), QLatin1String(kEntries[tag].target));
}
