#pragma once

#include "session/commonmanager.h"
#include "support/testcontext.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>
#include <memory>

// A navigation stack whose root stands for the server list, with the
// selected server 127.0.0.2 and window 01; frames go to the recorder.
class TimedPlayScreenTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        selectServer(QStringLiteral("127.0.0.2"), QStringLiteral("01"));
        m_root = new KTBaseViewController;
        m_nav = std::make_unique<KTBaseNavigationController>(m_root);
    }
    void TearDown() override
    {
        m_nav.reset();
        ContextTest::TearDown();
    }

    template <class T>
    T *push(T *screen)
    {
        EXPECT_TRUE(m_nav->push(screen));
        return screen;
    }
    template <class T>
    T *top() const
    {
        return qobject_cast<T *>(m_nav->top());
    }
    void post(const char *notice, const QVariant &object)
    {
        ctx().notices().post(QLatin1String(notice), object);
    }
    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    PopupCenter &popups() { return PopupCenter::shared(); }
    bool errorShown(const QString &text) { return popups().wasShown(PopupCenter::Error, text); }
    CommonManager &session() { return CommonManager::sharedManager(); }

    KTBaseViewController *m_root = nullptr;
    std::unique_ptr<KTBaseNavigationController> m_nav;
};
