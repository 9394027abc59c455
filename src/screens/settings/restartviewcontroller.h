#pragma once

#include "screens/settings/serverorderviewcontroller.h"

// Restart now ("即时重启"): "完成" restarts the selected server.
class RestartViewController : public ServerOrderViewController
{
    Q_OBJECT

public:
    RestartViewController();

protected:
    QString screenTitle() const override;
    void sendOrder() override;
};
