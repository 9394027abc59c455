#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

class KTBaseViewController;
class QObject;

// Renders pages offscreen to PNG files, with the software renderer, so that
// a reviewer or a test can look at a screen without a display.
class PageRenderer
{
public:
    static constexpr QSize kPhone{390, 844};
    // A laptop's and a desktop's window.
    static constexpr QSize kLaptop{1280, 800};
    static constexpr QSize kDesktop{1920, 1080};

    // The page of one controller inside its frame (navigation bar, content),
    // with the current context's pop-ups and alerts on top. Every QML warning
    // or error met on the way is appended to warnings.
    static bool renderScreen(KTBaseViewController *controller, const QString &pngPath, QStringList *warnings = nullptr,
                             QSize size = kPhone);
    // The whole app window as it stands: the root navigation stack and
    // everything pushed on it.
    static bool renderApp(const QString &pngPath, QStringList *warnings = nullptr, QSize size = kPhone);
    // Call before the first QGuiApplication is made.
    static void useSoftwareRenderer();
};
