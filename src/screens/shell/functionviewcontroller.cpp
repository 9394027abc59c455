#include "screens/shell/functionviewcontroller.h"

#include "screens/overlays/animationviewcontroller.h"
#include "screens/playback/playcontrolviewcontroller.h"
#include "screens/playback/playwindowsetviewcontroller.h"
#include "screens/shell/screenopener.h"
#include "screens/timedplay/addtimeplayviewcontroller.h"
#include "screens/transfer/playfilesviewcontroller.h"

#include <QCoreApplication>
#include <QVariantMap>
#include <array>

namespace {
struct Entry
{
    const char *title;
    ScreenOpener::Factory target;
};
// By tag.
constexpr std::array<Entry, 5> kEntries{{
    {QT_TRANSLATE_NOOP("FunctionViewController", "视频文件传输"), &ScreenOpener::make<PlayFilesViewController>},
    {QT_TRANSLATE_NOOP("FunctionViewController", "视频播放控制"), &ScreenOpener::make<PlayControlViewController>},
    {QT_TRANSLATE_NOOP("FunctionViewController", "视频窗体设定"), &ScreenOpener::make<PlayWindowSetViewController>},
    {QT_TRANSLATE_NOOP("FunctionViewController", "定时播放设定"), &ScreenOpener::make<AddTimePlayViewController>},
    {QT_TRANSLATE_NOOP("FunctionViewController", "动画互动发送"), &ScreenOpener::make<AnimationViewController>},
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
    ScreenOpener::push(navigationController(), kEntries[tag].target);
}
