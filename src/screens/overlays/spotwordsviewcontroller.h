#pragma once

#include "session/deviceinfo.h"
#include "ui/ktbaseviewcontroller.h"

class ServerChooser;
#include "ui/pickerfield.h"

#include <QList>
#include <QMap>
#include <QStringList>

// Inserted text ("插播文字"): asks the selected server for its inserted text
// when it opens, shows it, and sends the whole set back on "完成".
class SpotWordsViewController : public KTBaseViewController
{
    Q_OBJECT
    Q_PROPERTY(PickerField *shebeiField READ shebeiField CONSTANT)
    Q_PROPERTY(PickerField *colorField READ colorField CONSTANT)
    Q_PROPERTY(PickerField *fangxiangField READ fangxiangField CONSTANT)
    Q_PROPERTY(QString suduText READ suduText WRITE setSuduText NOTIFY suduTextChanged)
    Q_PROPERTY(QString daxiaoText READ daxiaoText WRITE setDaxiaoText NOTIFY daxiaoTextChanged)
    Q_PROPERTY(QString weizhiXText READ weizhiXText WRITE setWeizhiXText NOTIFY weizhiXTextChanged)
    Q_PROPERTY(QString weizhiYText READ weizhiYText WRITE setWeizhiYText NOTIFY weizhiYTextChanged)
    Q_PROPERTY(QString weizhiZText READ weizhiZText WRITE setWeizhiZText NOTIFY weizhiZTextChanged)
    Q_PROPERTY(QString contentText READ contentText WRITE setContentText NOTIFY contentTextChanged)
    Q_PROPERTY(bool effectOn READ isEffectOn WRITE effectSwitchAction NOTIFY effectOnChanged)
    Q_PROPERTY(QString isEffect READ isEffect NOTIFY codesChanged)
    Q_PROPERTY(QString colorType READ colorType NOTIFY codesChanged)
    Q_PROPERTY(QString fangxiangType READ fangxiangType NOTIFY codesChanged)

public:
    enum FieldTag { ShebeiTag = 0, ColorTag = 3, FangxiangTag = 4 };

    SpotWordsViewController();
    ~SpotWordsViewController() override;

    PickerField *shebeiField() const { return m_serverField; }
    PickerField *colorField() const { return m_colorField; }
    PickerField *fangxiangField() const { return m_directionField; }

    QString suduText() const { return m_speedText; }
    void setSuduText(const QString &text);
    QString daxiaoText() const { return m_sizeText; }
    void setDaxiaoText(const QString &text);
    QString weizhiXText() const { return m_xText; }
    void setWeizhiXText(const QString &text);
    QString weizhiYText() const { return m_yText; }
    void setWeizhiYText(const QString &text);
    QString weizhiZText() const { return m_zText; }
    void setWeizhiZText(const QString &text);
    QString contentText() const { return m_contentText; }
    void setContentText(const QString &text);

    bool isEffectOn() const { return m_effectOn; }
    QString isEffect() const { return m_isEffect; }
    QString colorType() const { return m_colorType; }
    QString fangxiangType() const { return m_fangxiangType; }

    QList<DeviceInfo> shebeiArray() const;
    QStringList colorArray() const { return m_colorArray; }
    QStringList fangxiangArray() const { return m_fangxiangArray; }

    // The "完成" button.
    Q_INVOKABLE void sendSetSpotWords();
    Q_INVOKABLE void effectSwitchAction(bool on);
    // Applies a picker choice when its field's edit ends; always lets it end.
    bool textFieldShouldEndEditing(InputField *field);
    void didReceiveChabowenziInfoNotice(const QString &replyHex);

Q_SIGNALS:
    void suduTextChanged();
    void daxiaoTextChanged();
    void weizhiXTextChanged();
    void weizhiYTextChanged();
    void weizhiZTextChanged();
    void contentTextChanged();
    void effectOnChanged();
    void codesChanged();

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void retranslate() override;

private:
    void setEffect(bool on);
    // Shows the label of a reply's index and takes its code; an index past
    // the list leaves both as they were.
    static bool showRow(PickerField *field, int row);

    ServerChooser *m_chooser;
    PickerField *m_serverField; // the chooser's field
    PickerField *m_colorField;
    PickerField *m_directionField;
    QStringList m_colorArray, m_colorTypeArray;
    QStringList m_fangxiangArray, m_fangxiangTypeArray;
    QString m_speedText, m_sizeText, m_xText, m_yText, m_zText, m_contentText;
    bool m_effectOn = true;
    QString m_isEffect = QStringLiteral("01");
    QString m_colorType = QStringLiteral("01");
    QString m_fangxiangType = QStringLiteral("00");
};
