#pragma once

#include "ui/ktbaseviewcontroller.h"

#include <QVariantList>

// The function menu of the chosen play window: five buttons, each opening
// its working screen on this menu's own stack.
class FunctionViewController : public KTBaseViewController
{
    Q_OBJECT
    // One map per button: tag, title.
    Q_PROPERTY(QVariantList buttons READ buttons CONSTANT)

public:
    FunctionViewController();

    QVariantList buttons() const;
    Q_INVOKABLE void buttonActionTouch(int tag);
};
