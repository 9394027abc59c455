#pragma once

#include "ui/ktbaseviewcontroller.h"
#include "ui/rowlistmodel.h"

#include <QPointer>
#include <QVariantList>

// The settings menu, the left panel of the side-menu container. What it
// opens goes onto the stack of the discovery screen that built it, so that
// the opened screen covers the whole container. "语言版本" opens nothing: it
// asks for the language of the UI.
class SystemViewController : public KTBaseViewController
{
    Q_OBJECT
    // One row per button: tag, title (tag 8, the panel's close control, has none).
    Q_PROPERTY(RowListModel *buttons READ buttonModel CONSTANT)

public:
    static constexpr const char *kTagActionBackNotice = "didTagActionBackNotice";

    SystemViewController();

    // The screen whose stack the targets are pushed onto.
    void setViewController(KTBaseViewController *screen) { m_viewController = screen; }
    KTBaseViewController *viewController() const { return m_viewController; }

    QVariantList buttons() const;
    RowListModel *buttonModel() const { return m_buttonModel; }
    Q_INVOKABLE void systemButtonAction(int tag);
    // "语言版本": a sheet of following the system, Chinese and English,
    // the one in use ticked; the choice applies at once and is kept.
    void chooseLanguage();

protected:
    void viewWillAppear() override;
    void retranslate() override;

private:
    QPointer<KTBaseViewController> m_viewController;
    RowListModel *m_buttonModel;
};
