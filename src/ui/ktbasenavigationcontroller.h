#pragma once

#include "ui/ktbaseviewcontroller.h"

#include <QList>
#include <QObject>
#include <QPointer>

// A stack of screens. It owns what is pushed onto it; a popped screen goes
// at once (its notice subscriptions end with the pop) and is deleted later,
// so that a screen may pop itself from one of its own operations.
//
// Only the top screen is in view. After every change the stack settles the
// hooks: first the screens that leave view, then the new top. The hooks may
// push or pop again; each settles from whatever the stack is by then.
//
// A stack held by a screen (addChildStack) is in view only while that
// screen is; a stack without one is always in view.
class KTBaseNavigationController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY changed)
    Q_PROPERTY(KTBaseViewController *top READ top NOTIFY changed)
    Q_PROPERTY(QObjectList screens READ screenObjects NOTIFY changed)
    Q_PROPERTY(bool navigationBarHidden READ isNavigationBarHidden WRITE setNavigationBarHidden NOTIFY navigationBarHiddenChanged)
    Q_PROPERTY(bool portraitOnly READ portraitOnly CONSTANT)

public:
    explicit KTBaseNavigationController(QObject *parent = nullptr);
    // Pushes root at once.
    explicit KTBaseNavigationController(KTBaseViewController *root, QObject *parent = nullptr);
    ~KTBaseNavigationController() override;

    // Refused (false) for null and for a screen already in a stack.
    Q_INVOKABLE bool push(KTBaseViewController *screen);
    // The first screen stays: these refuse (false) when nothing is above it.
    Q_INVOKABLE bool pop();
    Q_INVOKABLE bool popToRoot();
    // Pops every screen above screen; false when it is not in this stack or is the top.
    Q_INVOKABLE bool popTo(KTBaseViewController *screen);

    KTBaseViewController *top() const;
    KTBaseViewController *root() const;
    int count() const { return int(m_screens.size()); }
    // Null for an index outside the stack.
    Q_INVOKABLE KTBaseViewController *at(int index) const;
    int indexOf(const KTBaseViewController *screen) const;
    bool contains(const KTBaseViewController *screen) const { return indexOf(screen) >= 0; }
    QList<KTBaseViewController *> screenList() const;
    QObjectList screenObjects() const;

    bool isNavigationBarHidden() const { return m_navigationBarHidden; }
    void setNavigationBarHidden(bool hidden);
    static bool portraitOnly() { return true; }

    // The screen that holds this stack, if any.
    KTBaseViewController *hostScreen() const { return m_host; }
    bool isInView() const;

Q_SIGNALS:
    void pushed(KTBaseViewController *screen);
    // Once per removed screen, topmost first.
    void popped(KTBaseViewController *screen);
    // Once per push or pop operation, after pushed/popped.
    void changed();
    void navigationBarHiddenChanged();

private:
    friend class KTBaseViewController;

    bool removeAbove(int index);
    void settle();
    void forget(QObject *screen);

    QList<QPointer<KTBaseViewController>> m_screens;
    QList<QPointer<KTBaseViewController>> m_leaving;
    QPointer<KTBaseViewController> m_host;
    bool m_navigationBarHidden = false;
    bool m_dying = false;
};
