#pragma once

// The client's real window (Main.qml) in an offscreen QQuickWindow, driven
// the way a user drives it: mouse clicks, drags and wheel turns at the
// middle of what is on screen, and keys sent to the window. Items are found
// by what they show (their text) or, where nothing shows, by objectName.

#include "qmlshell.h"
#include "support/testcontext.h"
#include "ui/ktbaseviewcontroller.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QKeyEvent>
#include <QWheelEvent>
#include <functional>
#include <ostream>
#include <memory>

// Readable failures.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

class AppWindow
{
public:
    // The whole app (the root stack), or one screen alone.
    explicit AppWindow(QSize size = QSize(390, 844), KTBaseViewController *screen = nullptr)
    {
        m_engine.setOutputWarningsToStandardError(false);
        QObject::connect(&m_engine, &QQmlEngine::warnings, [this](const QList<QQmlError> &errors) {
            for (const QQmlError &e : errors)
                m_warnings << e.toString();
        });
        QmlShell::prepare(m_engine);
        QQmlComponent component(&m_engine, QUrl(QStringLiteral("qrc:/Qeva/Main.qml")));
        QVariantMap properties;
        if (screen)
            properties.insert(QStringLiteral("capturedScreen"), QVariant::fromValue<QObject *>(screen));
        m_window.reset(qobject_cast<QQuickWindow *>(component.createWithInitialProperties(properties)));
        for (const QQmlError &e : component.errors())
            m_warnings << e.toString();
        if (!m_window)
            return;
        m_window->resize(size);
        m_window->show();
        m_window->requestActivate();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            m_warnings << QStringLiteral("the window was never shown");
        settle();
    }
    ~AppWindow()
    {
        m_window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QQuickWindow *window() const { return m_window.get(); }
    bool grab(const QString &png) { return m_window->grabWindow().save(png); }
    QStringList warnings() const { return m_warnings; }
    QQuickItem *focusItem() const { return m_window->activeFocusItem(); }

    // Runs the event loop a while, and until no screen is on its way in or
    // out (bounded): transitions and animations end.
    void settle(int ms = 450)
    {
        spinFor(ms);
        waitFor([this] { return !isMoving(); }, 5000);
    }
    bool waitFor(const std::function<bool()> &done, int ms = 5000) { return waitUntil(done, ms); }

    // Every visible item, front (the pop-up layer) first.
    QList<QQuickItem *> visibleItems() const
    {
        QList<QQuickItem *> front, back;
        collect(m_window->contentItem(), back, front, false);
        return front + back;
    }
    // Whether the item's middle is on screen: inside the window and inside
    // every item above it that clips (a list's rows out of view are not).
    bool isOnScreen(QQuickItem *item) const
    {
        const QPointF middle = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
        if (!QRectF(QPointF(0, 0), m_window->size()).contains(middle))
            return false;
        for (QQuickItem *p = item->parentItem(); p; p = p->parentItem())
            if (p->clip() && !p->contains(p->mapFromScene(middle)))
                return false;
        return true;
    }
    // The item on screen that shows text, a control rather than its label;
    // the front one when several do.
    QQuickItem *findText(const QString &text) const
    {
        QQuickItem *label = nullptr;
        for (QQuickItem *item : visibleItems()) {
            if (item->property("text").toString() != text || !isOnScreen(item))
                continue;
            if (item->inherits("QQuickAbstractButton") || item->inherits("QQuickTextInput"))
                return item;
            if (!label)
                label = item;
        }
        return label;
    }
    QQuickItem *find(const QString &objectName) const
    {
        for (QQuickItem *item : allItems())
            if (item->objectName() == objectName)
                return item;
        return nullptr;
    }
    QObject *findObject(const QString &objectName) const
    {
        return m_window->findChild<QObject *>(objectName);
    }

    QPoint centre(QQuickItem *item) const
    {
        return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    }
    bool click(QQuickItem *item)
    {
        if (!item)
            return false;
        QTest::mouseClick(m_window.get(), Qt::LeftButton, Qt::NoModifier, centre(item));
        return true;
    }
    bool clickAt(QPoint scenePos)
    {
        QTest::mouseClick(m_window.get(), Qt::LeftButton, Qt::NoModifier, scenePos);
        return true;
    }
    // A stack in the middle of a push or pop: it drops clicks meanwhile.
    bool isMoving() const
    {
        for (QQuickItem *item : visibleItems())
            if (item->inherits("QQuickStackView") && item->property("busy").toBool())
                return true;
        return false;
    }
    // Waits (a while) for the text to show and the screens to stand still,
    // as a user would, then clicks it.
    bool clickText(const QString &text)
    {
        QQuickItem *item = nullptr;
        waitFor([&] { return (item = findText(text)) != nullptr && !isMoving(); }, 5000);
        return click(item);
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(m_window.get(), Qt::Key(key), modifiers);
    }
    void type(const QString &text)
    {
        for (const QChar ch : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
            QCoreApplication::sendEvent(m_window.get(), &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
            QCoreApplication::sendEvent(m_window.get(), &release);
        }
    }
    // Notches of a mouse wheel over the item: positive turns it away from
    // the user (up), negative towards (down).
    void wheel(QQuickItem *item, int notches)
    {
        const QPoint at = centre(item);
        QWheelEvent event(at, m_window->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(m_window.get(), &event);
    }
    // A press, a move in steps, a release: a swipe or a drag.
    void drag(QQuickItem *item, QPoint by, int steps = 8)
    {
        const QPoint from = centre(item);
        QTest::mousePress(m_window.get(), Qt::LeftButton, Qt::NoModifier, from);
        for (int i = 1; i <= steps; ++i) {
            QTest::mouseMove(m_window.get(), from + by * i / steps, 16);
        }
        QTest::mouseRelease(m_window.get(), Qt::LeftButton, Qt::NoModifier, from + by, 16);
    }

    static bool isInside(const QQuickItem *item, const QQuickItem *ancestor)
    {
        for (const QQuickItem *p = item; p; p = p->parentItem())
            if (p == ancestor)
                return true;
        return false;
    }

private:
    QList<QQuickItem *> allItems() const
    {
        QList<QQuickItem *> out;
        std::function<void(QQuickItem *)> walk = [&](QQuickItem *item) {
            out << item;
            for (QQuickItem *c : item->childItems())
                walk(c);
        };
        walk(m_window->contentItem());
        return out;
    }
    static void collect(QQuickItem *item, QList<QQuickItem *> &back, QList<QQuickItem *> &front, bool inOverlay)
    {
        if (!item->isVisible() || item->opacity() <= 0)
            return;
        const bool overlay = inOverlay || item->inherits("QQuickOverlay");
        (overlay ? front : back) << item;
        for (QQuickItem *c : item->childItems())
            collect(c, back, front, overlay);
    }

    QQmlEngine m_engine;
    std::unique_ptr<QQuickWindow> m_window;
    QStringList m_warnings;
};
