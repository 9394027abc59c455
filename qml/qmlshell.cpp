#include "qmlshell.h"

#include "core/appcontext.h"
#include "screens/shell/slidezoommenucontroller.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/ktbaseviewcontroller.h"
#include "ui/uikit.h"
#include "ui/uilanguage.h"

#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>

namespace {

const QString kModule = QStringLiteral(":/Qeva");

// Sits on a window and turns Enter on a focused button into the press and
// release of Space, which every button already takes as a click.
class EnterPressesButtons : public QObject
{
public:
    static constexpr const char *kName = "enterPressesButtons";

    explicit EnterPressesButtons(QQuickWindow *window)
        : QObject(window)
        , m_window(window)
    {
        setObjectName(QLatin1String(kName));
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window || (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        QQuickItem *item = m_window->activeFocusItem();
        if (!item || !item->inherits("QQuickAbstractButton"))
            return false;
        QKeyEvent space(event->type(), Qt::Key_Space, key->modifiers() & ~Qt::KeypadModifier, QStringLiteral(" "),
                        key->isAutoRepeat());
        QCoreApplication::sendEvent(m_window, &space);
        return true;
    }

private:
    QQuickWindow *m_window;
};

} // namespace

QmlShell::QmlShell(QObject *parent)
    : QObject(parent)
{
}

bool QmlShell::hasPage(const QString &pageName) const
{
    return !pageName.isEmpty() && QFile::exists(kModule + QStringLiteral("/pages/%1.qml").arg(pageName));
}

QUrl QmlShell::pageUrl(const QString &pageName) const
{
    if (hasPage(pageName))
        return QUrl(QStringLiteral("qrc") + kModule + QStringLiteral("/pages/%1.qml").arg(pageName));
    return QUrl(QStringLiteral("qrc") + kModule + QStringLiteral("/components/MissingPage.qml"));
}

QUrl QmlShell::imageUrl(const QString &name) const
{
    if (name.isEmpty())
        return QUrl();
    return QUrl(QStringLiteral("qrc") + kModule + QStringLiteral("/images/%1.png").arg(name));
}

KTBaseViewController *QmlShell::frontScreen()
{
    KTBaseViewController *top = UiKit::shared().navigation().top();
    while (auto *container = qobject_cast<SLideZoomMenuController *>(top)) {
        KTBaseNavigationController *inner = container->rootViewController();
        if (!inner || !inner->top())
            break;
        top = inner->top();
    }
    return top;
}

bool QmlShell::goBack()
{
    // The open side menu covers the screens: it closes first.
    KTBaseViewController *top = UiKit::shared().navigation().top();
    while (auto *container = qobject_cast<SLideZoomMenuController *>(top)) {
        if (container->isShow()) {
            container->showLeft();
            return true;
        }
        KTBaseNavigationController *inner = container->rootViewController();
        top = inner ? inner->top() : nullptr;
    }
    KTBaseViewController *front = frontScreen();
    if (!front || !front->hasBackButton() || !front->isBackButtonEnabled())
        return false;
    front->backButtonTapped();
    return true;
}

void QmlShell::pressButtonsWithEnter(QQuickWindow *window)
{
    if (!window || window->findChild<QObject *>(QLatin1String(EnterPressesButtons::kName), Qt::FindDirectChildrenOnly))
        return;
    window->installEventFilter(new EnterPressesButtons(window));
}

void QmlShell::useBasicStyle()
{
    // The same look everywhere, whatever desktop theme the machine has.
    QQuickStyle::setStyle(QStringLiteral("Basic"));
}

void QmlShell::prepare(QQmlEngine &engine)
{
    // The modules are compiled into the program, under qrc:/Qeva.
    engine.addImportPath(QStringLiteral("qrc:/"));
    // Another language: every qsTr() of the pages is read again.
    if (AppContext *ctx = AppContext::current()) {
        QQmlEngine *e = &engine;
        ctx->notices().subscribe(e, QLatin1String(UiLanguage::kLanguageChangedNotice),
                                 [e](const QVariant &) { e->retranslate(); });
    }
}
