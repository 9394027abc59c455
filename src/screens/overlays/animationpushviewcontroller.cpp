#include "screens/overlays/animationpushviewcontroller.h"

#include "net/qvmethodlib.h"
#include "protocol/overlaycommands.h"
#include "screens/overlays/animationviewcontroller.h"

#include <QCoreApplication>

AnimationPushViewController::AnimationPushViewController() = default;
AnimationPushViewController::~AnimationPushViewController() = default;

void AnimationPushViewController::viewDidLoad()
{
    retranslate();
}

void AnimationPushViewController::retranslate()
{
    setTitle(QCoreApplication::translate("AnimationPushViewController", "动画效果"));
}

void AnimationPushViewController::viewWillAppear()
{
    loadAvatarInCustomView();
}

void AnimationPushViewController::setPushType(int type)
{
    if (m_pushType == type)
        return;
    m_pushType = type;
    Q_EMIT pushTypeChanged();
}

void AnimationPushViewController::setPushOrderString(const QString &order)
{
    if (m_pushOrderString == order)
        return;
    m_pushOrderString = order;
    Q_EMIT pushOrderStringChanged();
}

QString AnimationPushViewController::picture() const
{
    return AnimationViewController::pictureForTag(m_pushType);
}

void AnimationPushViewController::setViewWidth(qreal width)
{
    if (width <= 0 || m_viewWidth == width)
        return;
    m_viewWidth = width;
    Q_EMIT geometryChanged();
    if (m_atStart)
        toStart(m_buttonVisible);
}

void AnimationPushViewController::moveButton(qreal centerX, qreal centerY, bool visible)
{
    if (m_centerX == centerX && m_centerY == centerY && m_buttonVisible == visible)
        return;
    m_centerX = centerX;
    m_centerY = centerY;
    m_buttonVisible = visible;
    Q_EMIT buttonChanged();
}

void AnimationPushViewController::toStart(bool visible)
{
    m_atStart = true;
    moveButton(m_viewWidth / 2, kStartTop + kButtonSize / 2, visible);
}

void AnimationPushViewController::loadAvatarInCustomView()
{
    toStart(true);
}

void AnimationPushViewController::restartButtonFrame()
{
    toStart(true);
}

void AnimationPushViewController::dragMoved(qreal centerX, qreal centerY)
{
    // A hidden picture has been thrown and cannot be dragged.
    if (!m_buttonVisible)
        return;
    m_atStart = false;
    moveButton(centerX, centerY, true);
}

void AnimationPushViewController::dragEnded(qreal centerX, qreal centerY)
{
    if (!m_buttonVisible)
        return;
    if (centerY < kThrowLine) {
        m_atStart = false;
        moveButton(centerX, centerY, false);
        QVmethodLib::sendAnimationOrderWithOrderString(m_pushOrderString);
        return;
    }
    toStart(true);
}
