#pragma once

#include "ui/ktbasenavigationcontroller.h"
#include "ui/ktbaseviewcontroller.h"

#include <QPointer>


// The side-menu container: the main content is a navigation stack rooted at
// the server list, the left panel is the settings menu. Opening the panel
// shrinks the main content to the right over animationDuration seconds.
// While the panel is open a tap on the main content closes it and the
// server list's back button is disabled.
class SLideZoomMenuController : public KTBaseViewController
{
    Q_OBJECT
    Q_PROPERTY(bool isShow READ isShow NOTIFY isShowChanged)
    Q_PROPERTY(bool tapEnabled READ isTapEnabled NOTIFY isShowChanged)
    Q_PROPERTY(qreal animationDuration READ animationDuration CONSTANT)
    Q_PROPERTY(KTBaseNavigationController *rootViewController READ rootViewController NOTIFY contentChanged)
    Q_PROPERTY(KTBaseViewController *leftViewController READ leftViewController NOTIFY contentChanged)

public:
    static constexpr qreal kAnimationDuration = 0.35; // seconds
    // How far a swipe must go, in pixels, to open or close the panel.
    static constexpr qreal kSwipeDistance = 60;

    explicit SLideZoomMenuController(KTBaseNavigationController *root = nullptr);

    bool isShow() const { return m_isShow; }
    bool isTapEnabled() const { return m_isShow; }
    static qreal animationDuration() { return kAnimationDuration; }
    KTBaseNavigationController *rootViewController() const { return m_root; }
    KTBaseViewController *leftViewController() const { return m_left; }

    // Each is set once; the container takes ownership.
    void setRootViewController(KTBaseNavigationController *root);
    void setLeftViewController(KTBaseViewController *left);

    // Opens the closed panel, closes the open one.
    Q_INVOKABLE void showLeft();
    // A tap on the (shrunken) main content.
    Q_INVOKABLE void handleTap();
    // A finished swipe on the main content, dx pixels to the right (negative:
    // to the left). A right swipe of kSwipeDistance opens the panel, a left
    // one closes it.
    Q_INVOKABLE void handlePan(qreal dx);
    // The server list's back button: back to the discovery screen.
    Q_INVOKABLE void goBackAction() override;
    void didTagActionBackNotice();

Q_SIGNALS:
    void isShowChanged();
    void contentChanged();

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;

private:
    void closeIfOpen();
    void updateServerListButtons();

    QPointer<KTBaseNavigationController> m_root;
    QPointer<KTBaseViewController> m_left;
    bool m_isShow = false;
};
