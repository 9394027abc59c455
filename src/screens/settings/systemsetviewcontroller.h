#pragma once

#include "session/deviceinfo.h"
#include "ui/datetimefield.h"
#include "ui/ktbaseviewcontroller.h"
#include "ui/pickerfield.h"

#include <QList>
#include <QMap>
#include <QStringList>

class ServerChooser;

// System settings ("系统设置"): reads the selected server's settings record
// and volume when it opens and shows them. The volume, colour balance,
// screen switch, video source and rotation go out as soon as they change;
// brightness, background colour and restart time go out with "保存", in one
// record together with the flags and transfer path the server reported.
class SystemSetViewController : public KTBaseViewController
{
    Q_OBJECT
    // Codes, as the frames carry them.
    Q_PROPERTY(QString isRestartDevice READ isRestartDevice NOTIFY codesChanged)
    Q_PROPERTY(QString isSkipLogin READ isSkipLogin NOTIFY codesChanged)
    Q_PROPERTY(QString isOpenWifi READ isOpenWifi NOTIFY codesChanged)
    Q_PROPERTY(QString isOpenKaiguan READ isOpenKaiguan NOTIFY codesChanged)
    Q_PROPERTY(QString colorType READ colorType NOTIFY codesChanged)
    Q_PROPERTY(QString shipinType READ shipinType NOTIFY codesChanged)
    Q_PROPERTY(QString xuanzhuanType READ xuanzhuanType NOTIFY codesChanged)
    Q_PROPERTY(QString transPathString READ transPathString NOTIFY codesChanged)
    // Whether the selected server's settings record has arrived; "保存"
    // waits for it.
    Q_PROPERTY(bool hasSystemInfo READ hasSystemInfo NOTIFY codesChanged)
    // Displays and sliders.
    Q_PROPERTY(QString liangdu READ liangdu NOTIFY liangduChanged)
    Q_PROPERTY(double liangduSliderValue READ liangduSliderValue NOTIFY liangduChanged)
    Q_PROPERTY(double liangduMaximum READ liangduMaximum CONSTANT)
    Q_PROPERTY(QString yinliang READ yinliang NOTIFY yinliangChanged)
    Q_PROPERTY(double yinliangSliderValue READ yinliangSliderValue NOTIFY yinliangChanged)
    Q_PROPERTY(double yinliangMaximum READ yinliangMaximum NOTIFY yinliangChanged)
    Q_PROPERTY(QString redValue READ redValue NOTIFY colourChanged)
    Q_PROPERTY(QString greenValue READ greenValue NOTIFY colourChanged)
    Q_PROPERTY(QString blueValue READ blueValue NOTIFY colourChanged)
    Q_PROPERTY(double redSliderValue READ redSliderValue NOTIFY colourChanged)
    Q_PROPERTY(double greenSliderValue READ greenSliderValue NOTIFY colourChanged)
    Q_PROPERTY(double blueSliderValue READ blueSliderValue NOTIFY colourChanged)
    Q_PROPERTY(double colourMaximum READ colourMaximum CONSTANT)
    // Switches.
    Q_PROPERTY(bool kaijiSwitch READ kaijiSwitch NOTIFY switchesChanged)
    Q_PROPERTY(bool loginSwitch READ loginSwitch NOTIFY switchesChanged)
    Q_PROPERTY(bool singleSwitch READ singleSwitch NOTIFY switchesChanged)
    // Fields: the server (tag 0), background colour (1), video source (2),
    // rotation (3) and restart time (4).
    Q_PROPERTY(PickerField *shebeiField READ shebeiField CONSTANT)
    Q_PROPERTY(PickerField *beijingYanseField READ beijingYanseField CONSTANT)
    Q_PROPERTY(PickerField *shipinyuanField READ shipinyuanField CONSTANT)
    Q_PROPERTY(PickerField *xuanzhuanduField READ xuanzhuanduField CONSTANT)
    Q_PROPERTY(DateTimeField *setTimeField READ setTimeField CONSTANT)

public:
    enum FieldTag { ShebeiTag = 0, BeijingYanseTag = 1, ShipinyuanTag = 2, XuanzhuanduTag = 3, SetTimeTag = 4 };
    enum ButtonTag { LiangduDefaultTag = 0, YinliangDefaultTag = 1, ClearTimeTag = 2, SaveTag = 3, CancelTag = 4 };
    Q_ENUM(ButtonTag)

    static constexpr int kDefaultLiangdu = 200;
    static constexpr int kDefaultYinliang = 7;

    SystemSetViewController();
    ~SystemSetViewController() override;

    QString isRestartDevice() const { return m_isRestartDevice; }
    QString isSkipLogin() const { return m_isSkipLogin; }
    QString isOpenWifi() const { return m_isOpenWifi; }
    QString isOpenKaiguan() const { return m_isOpenKaiguan; }
    QString colorType() const { return m_colorType; }
    QString shipinType() const { return m_shipinType; }
    QString xuanzhuanType() const { return m_xuanzhuanType; }
    QString transPathString() const { return m_transPathString; }
    bool hasSystemInfo() const { return m_hasSystemInfo; }

    QString liangdu() const { return m_liangdu; }
    double liangduSliderValue() const { return m_brightnessSlider; }
    static double liangduMaximum() { return 255; }
    QString yinliang() const { return m_yinliang; }
    double yinliangSliderValue() const { return m_volumeSlider; }
    double yinliangMaximum() const { return m_volumeMaximum; }
    QString redValue() const { return m_redValue; }
    QString greenValue() const { return m_greenValue; }
    QString blueValue() const { return m_blueValue; }
    double redSliderValue() const { return m_redSlider; }
    double greenSliderValue() const { return m_greenSlider; }
    double blueSliderValue() const { return m_blueSlider; }
    static double colourMaximum() { return 255; }

    bool kaijiSwitch() const { return m_kaijiSwitch; }
    bool loginSwitch() const { return m_loginSwitch; }
    bool singleSwitch() const { return m_singleSwitch; }

    PickerField *shebeiField() const;
    PickerField *beijingYanseField() const { return m_backgroundColourField; }
    PickerField *shipinyuanField() const { return m_videoSourceField; }
    PickerField *xuanzhuanduField() const { return m_rotationField; }
    DateTimeField *setTimeField() const { return m_setTimeField; }

    QList<DeviceInfo> shebeiArray() const;
    QStringList colorArray() const { return m_colorArray; }
    QStringList colorTypeArray() const { return m_colorTypeArray; }
    QStringList shipinArray() const { return m_shipinArray; }
    QStringList shipinTypeArray() const { return m_shipinTypeArray; }
    QStringList xuanzhuanArray() const { return m_xuanzhuanArray; }
    QStringList xuanzhuanTypeArray() const { return m_xuanzhuanTypeArray; }

    // Both queries, settings first, to the selected server.
    Q_INVOKABLE void getSystemInfo();
    void didReceiveSystemInfoNotice(const QString &replyHex);
    void didReceiveSystemYinliangValueInfoNotice(const QString &replyHex);

    // Each says whether the frame went out (and shows its pop-up).
    Q_INVOKABLE bool sendSetSystemInfo();
    Q_INVOKABLE bool sendSetkaiguanPing();
    Q_INVOKABLE bool sendSetshipinyuan();
    Q_INVOKABLE bool sendSetxuanzhuanjiaodu();

    // Acts on the field whose edit ended; always lets it end.
    bool textFieldShouldEndEditing(InputField *field);
    Q_INVOKABLE void ButtonActionTouch(int tag);
    Q_INVOKABLE void sliderValueChangeAction(double value); // brightness
    Q_INVOKABLE void yinyangValueChange(double value);      // volume
    Q_INVOKABLE void sewenSwitchChange(bool on);            // screen on/off
    Q_INVOKABLE void redValueChange(double value);
    Q_INVOKABLE void greenValueChange(double value);
    Q_INVOKABLE void blueValueChange(double value);

Q_SIGNALS:
    void codesChanged();
    void liangduChanged();
    void yinliangChanged();
    void colourChanged();
    void switchesChanged();

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void retranslate() override;

private:
    void setLiangdu(const QString &text, double slider);
    void setYinliang(const QString &text, double slider);
    void setSwitches(bool restart, bool login, bool single);
    bool sendColour();
    // The success pop-up for a frame that went out, else the reason it did not.
    bool report(bool sent);
    bool hasSelectedServer() const;
    // True when a server is selected, else shows why nothing is sent.
    bool checkServerSelected();
    // Shows the label at a reply's index; an index past the list leaves the
    // field as it was.
    static void showLabel(PickerField *field, const QString &index);

    ServerChooser *m_chooser;
    PickerField *m_backgroundColourField;
    PickerField *m_videoSourceField;
    PickerField *m_rotationField;
    DateTimeField *m_setTimeField;

    QStringList m_colorArray, m_colorTypeArray;
    QStringList m_shipinArray, m_shipinTypeArray;
    QStringList m_xuanzhuanArray, m_xuanzhuanTypeArray;

    QString m_isRestartDevice = QStringLiteral("01");
    QString m_isSkipLogin = QStringLiteral("00");
    QString m_isOpenWifi = QStringLiteral("01");
    QString m_isOpenKaiguan = QStringLiteral("01");
    QString m_colorType;
    QString m_shipinType;
    QString m_xuanzhuanType = QStringLiteral("00");
    QString m_transPathString;
    bool m_hasSystemInfo = false;

    QString m_liangdu = QString::number(kDefaultLiangdu);
    double m_brightnessSlider = kDefaultLiangdu;
    QString m_yinliang = QString::number(kDefaultYinliang);
    double m_volumeSlider = kDefaultYinliang;
    double m_volumeMaximum = 15;
    QString m_redValue = QStringLiteral("255");
    QString m_greenValue = QStringLiteral("255");
    QString m_blueValue = QStringLiteral("255");
    double m_redSlider = 255;
    double m_greenSlider = 255;
    double m_blueSlider = 255;

    bool m_kaijiSwitch = true;
    bool m_loginSwitch = false;
    bool m_singleSwitch = true;
};
