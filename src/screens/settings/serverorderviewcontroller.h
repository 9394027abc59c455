#pragma once

#include "session/deviceinfo.h"
#include "ui/ktbaseviewcontroller.h"
#include "ui/pickerfield.h"

#include <QList>

class ServerChooser;

// A screen that chooses a server and sends it one order on "完成": the
// restart and time-correction screens differ only in title and order.
class ServerOrderViewController : public KTBaseViewController
{
    Q_OBJECT
    Q_PROPERTY(PickerField *shebeiField READ shebeiField CONSTANT)

public:
    enum FieldTag { ShebeiTag = 0 };

    ~ServerOrderViewController() override;

    PickerField *shebeiField() const;
    QList<DeviceInfo> shebeiArray() const;

    // Leaving the server field selects the server; nothing is sent.
    bool textFieldShouldEndEditing(InputField *field);
    // "完成": the order, at once and without a question, to the selected
    // server. Says whether it went out.
    Q_INVOKABLE bool doneAction();

protected:
    ServerOrderViewController();

    void viewDidLoad() override;
    void viewWillAppear() override;
    void retranslate() override;

    virtual QString screenTitle() const = 0;
    virtual void sendOrder() = 0;

private:
    ServerChooser *m_chooser;
};
