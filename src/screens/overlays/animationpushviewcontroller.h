#pragma once

#include "ui/ktbaseviewcontroller.h"

// The throwing screen ("动画效果"): the effect's picture is dragged upwards;
// a drag that ends with its centre above the line sends the effect once
// and hides the picture, any other drag puts it back. "重置动画" brings it
// back for another throw. Positions are in the page's own points, top-left
// origin, as the page reports them.
class AnimationPushViewController : public KTBaseViewController
{
    Q_OBJECT
    Q_PROPERTY(int pushType READ pushType WRITE setPushType NOTIFY pushTypeChanged)
    Q_PROPERTY(QString pushOrderString READ pushOrderString WRITE setPushOrderString NOTIFY pushOrderStringChanged)
    Q_PROPERTY(QString picture READ picture NOTIFY pushTypeChanged)
    Q_PROPERTY(qreal viewWidth READ viewWidth WRITE setViewWidth NOTIFY geometryChanged)
    Q_PROPERTY(bool buttonVisible READ isButtonVisible NOTIFY buttonChanged)
    Q_PROPERTY(qreal buttonX READ buttonX NOTIFY buttonChanged)
    Q_PROPERTY(qreal buttonY READ buttonY NOTIFY buttonChanged)
    Q_PROPERTY(qreal buttonSize READ buttonSize CONSTANT)
    Q_PROPERTY(qreal resetX READ resetX NOTIFY geometryChanged)
    Q_PROPERTY(qreal resetY READ resetY CONSTANT)
    Q_PROPERTY(qreal resetWidth READ resetWidth CONSTANT)
    Q_PROPERTY(qreal resetHeight READ resetHeight CONSTANT)
    Q_PROPERTY(qreal throwLine READ throwLine CONSTANT)

public:
    static constexpr qreal kButtonSize = 70;
    static constexpr qreal kStartTop = 380;
    static constexpr qreal kResetGap = 25;
    static constexpr qreal kResetWidth = 200;
    static constexpr qreal kResetHeight = 40;
    // A drag ending with the centre above this (less than it from the top) throws.
    static constexpr qreal kThrowLine = 220;

    AnimationPushViewController();
    ~AnimationPushViewController() override;

    int pushType() const { return m_pushType; }
    void setPushType(int type);
    QString pushOrderString() const { return m_pushOrderString; }
    void setPushOrderString(const QString &order);
    QString picture() const;

    qreal viewWidth() const { return m_viewWidth; }
    void setViewWidth(qreal width);
    bool isButtonVisible() const { return m_buttonVisible; }
    qreal buttonX() const { return m_centerX - kButtonSize / 2; }
    qreal buttonY() const { return m_centerY - kButtonSize / 2; }
    qreal buttonCenterX() const { return m_centerX; }
    qreal buttonCenterY() const { return m_centerY; }
    static qreal buttonSize() { return kButtonSize; }
    qreal resetX() const { return (m_viewWidth - kResetWidth) / 2; }
    static qreal resetY() { return kStartTop + kButtonSize + kResetGap; }
    static qreal resetWidth() { return kResetWidth; }
    static qreal resetHeight() { return kResetHeight; }
    static qreal throwLine() { return kThrowLine; }

    // Puts the picture, visible, at its start position.
    Q_INVOKABLE void loadAvatarInCustomView();
    // "重置动画".
    Q_INVOKABLE void restartButtonFrame();
    // The picture follows the finger; its centre in page points.
    Q_INVOKABLE void dragMoved(qreal centerX, qreal centerY);
    // The end of a drag, with the centre where the finger let go.
    Q_INVOKABLE void dragEnded(qreal centerX, qreal centerY);

Q_SIGNALS:
    void pushTypeChanged();
    void pushOrderStringChanged();
    void geometryChanged();
    void buttonChanged();

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void retranslate() override;

private:
    void moveButton(qreal centerX, qreal centerY, bool visible);
    void toStart(bool visible);

    int m_pushType = 0;
    QString m_pushOrderString;
    qreal m_viewWidth = 320;
    bool m_buttonVisible = true;
    bool m_atStart = true;
    qreal m_centerX = 160;
    qreal m_centerY = kStartTop + kButtonSize / 2;
};
