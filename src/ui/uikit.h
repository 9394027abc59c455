#pragma once

#include "ui/alertcenter.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/popupcenter.h"

#include <QObject>
#include <memory>

class AppContext;

// Where the page layer and tests find the UI of one client: the root
// navigation stack (the discovery screen at its bottom), the pop-ups and
// the alerts.
class UiKit : public QObject
{
    Q_OBJECT
    Q_PROPERTY(KTBaseNavigationController *navigation READ navigationPtr CONSTANT)
    Q_PROPERTY(PopupCenter *popups READ popupsPtr CONSTANT)
    Q_PROPERTY(AlertCenter *alerts READ alertsPtr CONSTANT)

public:
    explicit UiKit(AppContext &ctx);
    ~UiKit() override;
    static UiKit &shared();

    KTBaseNavigationController &navigation() { return *m_navigation; }
    PopupCenter &popups() { return m_popups; }
    AlertCenter &alerts() { return m_alerts; }

private:
    KTBaseNavigationController *navigationPtr() { return m_navigation.get(); }
    PopupCenter *popupsPtr() { return &m_popups; }
    AlertCenter *alertsPtr() { return &m_alerts; }

    PopupCenter &m_popups;
    AlertCenter &m_alerts;
    std::unique_ptr<KTBaseNavigationController> m_navigation;
};
