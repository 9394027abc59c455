#pragma once

#include "ui/ktbaseviewcontroller.h"
#include "ui/rowlistmodel.h"

#include <QVariantList>

// The function menu of the chosen play window: five buttons, each opening
// its working screen on this menu's own stack.
class FunctionViewController : public KTBaseViewController
{
    Q_OBJECT
    // One row per button: tag, title.
    Q_PROPERTY(RowListModel *buttons READ buttonModel CONSTANT)

public:
    FunctionViewController();

    QVariantList buttons() const;
    RowListModel *buttonModel() const { return m_buttonModel; }
    Q_INVOKABLE void buttonActionTouch(int tag);

protected:
    void retranslate() override;

private:
    RowListModel *m_buttonModel;
};
