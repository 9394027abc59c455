#pragma once

#include "screens/settings/serverorderviewcontroller.h"

// Time correction ("时间校正"): "完成" sets the selected server's clock to
// the phone's time and time zone.
class TimeCorrectionViewController : public ServerOrderViewController
{
    Q_OBJECT

public:
    TimeCorrectionViewController();

protected:
    QString screenTitle() const override;
    void sendOrder() override;
};
