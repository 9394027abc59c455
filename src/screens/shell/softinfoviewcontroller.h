#pragma once

#include "ui/ktbaseviewcontroller.h"

// The information screen: the client's name, version and what it is for.
class SoftInfoViewController : public KTBaseViewController
{
    Q_OBJECT
    Q_PROPERTY(QString versionText READ versionText NOTIFY languageChanged)
    Q_PROPERTY(QString introText READ introText NOTIFY languageChanged)

public:
    SoftInfoViewController();

    static QString versionText();
    static QString introText();

protected:
    void retranslate() override;
};
