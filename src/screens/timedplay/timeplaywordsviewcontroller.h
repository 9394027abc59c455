#pragma once

#include "ui/ktbaseviewcontroller.h"

#include <QStringList>
#include <QVariantMap>

class PickerField;

// The scrolling text of a scheme ("定时播放方案设定", second step): text,
// speed, size, colour, direction, position and whether it takes effect.
// "下一步" assembles the scheme's parameter frame and opens the scheme's
// file list with it. A stored text (modify mode) is put back each time the
// screen comes into view.
class TimePlayWordsViewController : public KTBaseViewController
{
    Q_OBJECT
    Q_PROPERTY(QString wordString READ wordString WRITE setWordString NOTIFY fieldsChanged)
    Q_PROPERTY(QString suduText READ suduText WRITE setSuduText NOTIFY fieldsChanged)
    Q_PROPERTY(QString wordSizeText READ wordSizeText WRITE setWordSizeText NOTIFY fieldsChanged)
    Q_PROPERTY(QString xText READ xText WRITE setXText NOTIFY fieldsChanged)
    Q_PROPERTY(QString yText READ yText WRITE setYText NOTIFY fieldsChanged)
    Q_PROPERTY(QString zText READ zText WRITE setZText NOTIFY fieldsChanged)
    Q_PROPERTY(PickerField *colorField READ colorField CONSTANT)
    Q_PROPERTY(PickerField *fangxiangField READ fangxiangField CONSTANT)
    Q_PROPERTY(bool effectOn READ isEffectOn WRITE switchChangeValueAction NOTIFY codesChanged)
    Q_PROPERTY(QString isEffect READ isEffect NOTIFY codesChanged)
    Q_PROPERTY(QString colorType READ colorType NOTIFY codesChanged)
    Q_PROPERTY(QString fangxiangType READ fangxiangType NOTIFY codesChanged)

public:
    enum FieldTag { ColorTag = 3, FangxiangTag = 4 };

    explicit TimePlayWordsViewController(QObject *parent = nullptr);

    QString windowID() const { return m_windowID; }
    void setWindowID(const QString &windowID) { m_windowID = windowID; }
    QVariantMap passValueDict() const { return m_passValueDict; }
    void setPassValueDict(const QVariantMap &dict) { m_passValueDict = dict; }

    QString wordString() const { return m_wordString; }
    void setWordString(const QString &text);
    QString suduText() const { return m_speedText; }
    void setSuduText(const QString &text);
    QString wordSizeText() const { return m_wordSizeText; }
    void setWordSizeText(const QString &text);
    QString xText() const { return m_xText; }
    void setXText(const QString &text);
    QString yText() const { return m_yText; }
    void setYText(const QString &text);
    QString zText() const { return m_zText; }
    void setZText(const QString &text);

    PickerField *colorField() const { return m_colorField; }
    PickerField *fangxiangField() const { return m_directionField; }
    bool isEffectOn() const { return m_effectOn; }
    QString isEffect() const { return m_isEffect; }
    QString colorType() const { return m_colorType; }
    QString fangxiangType() const { return m_fangxiangType; }

    // The "状态设置是否生效" switch.
    Q_INVOKABLE void switchChangeValueAction(bool on);
    // "下一步".
    Q_INVOKABLE void nextStepAction();

Q_SIGNALS:
    void fieldsChanged();
    void codesChanged();

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void retranslate() override;

private:
    void refillFromWordsDict();
    // Shows a picker row's label in its field and takes its code; a row
    // that is not in the list changes nothing.
    void takeColorRow(int row);
    void takeDirectionRow(int row);
    void setText(QString &member, const QString &text);

    QString m_windowID;
    QVariantMap m_passValueDict;
    QString m_wordString, m_speedText, m_wordSizeText, m_xText, m_yText, m_zText;
    PickerField *m_colorField;
    PickerField *m_directionField;
    QStringList m_colorTypes, m_directionTypes;
    bool m_effectOn = true;
    QString m_isEffect = QStringLiteral("01");
    QString m_colorType = QStringLiteral("01");
    QString m_fangxiangType = QStringLiteral("00");
};
