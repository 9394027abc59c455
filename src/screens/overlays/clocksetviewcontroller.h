#pragma once

#include "session/deviceinfo.h"
#include "ui/ktbaseviewcontroller.h"

class ServerChooser;
#include "ui/pickerfield.h"

#include <QList>

// The clock overlay ("时钟设定"): asks the selected server for its clock
// when it opens, shows it, and sends the whole set back on "完成".
class ClockSetViewController : public KTBaseViewController
{
    Q_OBJECT
    Q_PROPERTY(PickerField *shebeiField READ shebeiField CONSTANT)
    Q_PROPERTY(QString xText READ xText WRITE setXText NOTIFY xTextChanged)
    Q_PROPERTY(QString yText READ yText WRITE setYText NOTIFY yTextChanged)
    Q_PROPERTY(QString widthText READ widthText WRITE setWidthText NOTIFY widthTextChanged)
    Q_PROPERTY(QString heightText READ heightText WRITE setHeightText NOTIFY heightTextChanged)
    Q_PROPERTY(int segmentIndex READ segmentIndex WRITE segmentAction NOTIFY segmentChanged)
    Q_PROPERTY(QString showImage READ showImage NOTIFY segmentChanged)
    Q_PROPERTY(bool executeOn READ isExecuteOn WRITE executeSwitchChange NOTIFY executeChanged)
    Q_PROPERTY(QString clockType READ clockType NOTIFY segmentChanged)
    Q_PROPERTY(QString isExecute READ isExecute NOTIFY executeChanged)

public:
    enum FieldTag { ShebeiTag = 0 };

    ClockSetViewController();
    ~ClockSetViewController() override;

    PickerField *shebeiField() const { return m_serverField; }
    QString xText() const { return m_xText; }
    void setXText(const QString &text);
    QString yText() const { return m_yText; }
    void setYText(const QString &text);
    QString widthText() const { return m_widthText; }
    void setWidthText(const QString &text);
    QString heightText() const { return m_heightText; }
    void setHeightText(const QString &text);

    // 0 the clock face ("虚拟时钟", code 02), 1 the digits ("数字时钟", code 01).
    int segmentIndex() const { return m_segmentIndex; }
    // The picture of the chosen clock: "device_74" or "device_53".
    QString showImage() const { return m_segmentIndex == 1 ? QStringLiteral("device_53") : QStringLiteral("device_74"); }
    bool isExecuteOn() const { return m_executeOn; }
    QString clockType() const { return m_clockType; }
    QString isExecute() const { return m_isExecute; }
    QList<DeviceInfo> shebeiArray() const;

    Q_INVOKABLE void sendClockinitializeInfo();
    // The "完成" button: a server must be shown, then sendSetClockOrder().
    Q_INVOKABLE void doneAction();
    void sendSetClockOrder();
    Q_INVOKABLE void segmentAction(int index);
    Q_INVOKABLE void executeSwitchChange(bool on);
    // Applies the server choice when its field's edit ends; always lets it end.
    bool textFieldShouldEndEditing(InputField *field);
    void didReceiveClocoInfoNotice(const QString &replyHex);

Q_SIGNALS:
    void xTextChanged();
    void yTextChanged();
    void widthTextChanged();
    void heightTextChanged();
    void segmentChanged();
    void executeChanged();

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void retranslate() override;

private:
    ServerChooser *m_chooser;
    PickerField *m_serverField; // the chooser's field
    QString m_xText, m_yText, m_widthText, m_heightText;
    int m_segmentIndex = 0;
    bool m_executeOn = true;
    QString m_clockType = QStringLiteral("02");
    QString m_isExecute = QStringLiteral("01");
};
