#include "screens/overlays/animationviewcontroller.h"

#include "core/logging.h"
#include "core/logsink.h"
#include "protocol/overlaycommands.h"
#include "screens/overlays/animationpushviewcontroller.h"
#include "session/commonmanager.h"
#include "ui/ktbasenavigationcontroller.h"

#include <QCoreApplication>
#include <QVariantMap>

namespace {
struct Effect
{
    int tag;
    const char *group;
    const char *picture;
};
const Effect kEffects[] = {
    {1, QT_TRANSLATE_NOOP("AnimationViewController", "旋转效果:"), "vedio_14"},
    {2, QT_TRANSLATE_NOOP("AnimationViewController", "移动效果:"), "vedio_15"},
    {3, QT_TRANSLATE_NOOP("AnimationViewController", "场景效果:"), "vedio_16"},
    {4, QT_TRANSLATE_NOOP("AnimationViewController", "场景效果:"), "vedio_17"},
    {5, QT_TRANSLATE_NOOP("AnimationViewController", "场景效果:"), "vedio_18"},
};
} // namespace

AnimationViewController::AnimationViewController()
    : m_effectModel(new RowListModel({QStringLiteral("tag"), QStringLiteral("group"), QStringLiteral("picture")},
                                     QStringLiteral("tag"), this))
{
    m_effectModel->setRows(effects());
}
AnimationViewController::~AnimationViewController() = default;

void AnimationViewController::viewDidLoad()
{
    retranslate();
}

void AnimationViewController::retranslate()
{
    setTitle(QCoreApplication::translate("AnimationViewController", "动画效果"));
    m_effectModel->setRows(effects());
}

QVariantList AnimationViewController::effects()
{
    QVariantList out;
    for (const Effect &e : kEffects)
        out << QVariantMap{{QStringLiteral("tag"), e.tag},
                           {QStringLiteral("group"), QCoreApplication::translate("AnimationViewController", e.group)},
                           {QStringLiteral("picture"), QLatin1String(e.picture)}};
    return out;
}

QString AnimationViewController::pictureForTag(int tag)
{
    for (const Effect &e : kEffects)
        if (e.tag == tag)
            return QLatin1String(e.picture);
    return QString();
}

void AnimationViewController::animationButtonAction(int tag)
{
    const QString order = OverlayCommands::animationOrderString(tag, CommonManager::sharedManager().currentWindowID);
    if (order.isEmpty()) {
        qevaLog(lcScreens, QStringLiteral("AnimationViewController: no effect has tag %1").arg(tag));
        return;
    }
    auto *push = new AnimationPushViewController;
    push->setPushType(tag);
    push->setPushOrderString(order);
    KTBaseNavigationController *nav = navigationController();
    if (!nav || !nav->push(push))
        delete push;
}
