#pragma once

#include "ui/ktbaseviewcontroller.h"

#include <QString>
#include <QStringList>

class PickerField;

// The settings of the current window ("视频窗体设定"): position, size,
// switch effect and interval as the server reports them, full screen and
// on top as the user ticks them; "完成" writes them all.
class PlayWindowSetViewController : public KTBaseViewController
{
    Q_OBJECT
    Q_PROPERTY(QString weizhiX READ weizhiX WRITE setWeizhiX NOTIFY fieldsChanged)
    Q_PROPERTY(QString weizhiY READ weizhiY WRITE setWeizhiY NOTIFY fieldsChanged)
    Q_PROPERTY(QString daxiaoX READ daxiaoX WRITE setDaxiaoX NOTIFY fieldsChanged)
    Q_PROPERTY(QString daxiaoY READ daxiaoY WRITE setDaxiaoY NOTIFY fieldsChanged)
    Q_PROPERTY(QString qiehuanjiange READ qiehuanjiange WRITE setQiehuanjiange NOTIFY fieldsChanged)
    Q_PROPERTY(PickerField *animationField READ animationField CONSTANT)
    Q_PROPERTY(bool fullScreenChecked READ isFullScreenChecked NOTIFY codesChanged)
    Q_PROPERTY(bool upTopChecked READ isUpTopChecked NOTIFY codesChanged)
    Q_PROPERTY(QString IsFullScreen READ IsFullScreen NOTIFY codesChanged)
    Q_PROPERTY(QString IsUpTop READ IsUpTop NOTIFY codesChanged)
    Q_PROPERTY(QString animationHex READ animationHex NOTIFY codesChanged)

public:
    enum CheckBox { FullScreenBox = 1, UpTopBox = 2 };
    Q_ENUM(CheckBox)

    explicit PlayWindowSetViewController(QObject *parent = nullptr);

    // The ten switch effects, the index being the code.
    static QStringList animationLabels();

    QString weizhiX() const { return m_x; }
    QString weizhiY() const { return m_y; }
    QString daxiaoX() const { return m_width; }
    QString daxiaoY() const { return m_height; }
    QString qiehuanjiange() const { return m_interval; }
    void setWeizhiX(const QString &text);
    void setWeizhiY(const QString &text);
    void setDaxiaoX(const QString &text);
    void setDaxiaoY(const QString &text);
    void setQiehuanjiange(const QString &text);

    PickerField *animationField() const { return m_animationField; }
    bool isFullScreenChecked() const { return m_isFullScreen == QLatin1String("01"); }
    bool isUpTopChecked() const { return m_isUpTop == QLatin1String("01"); }
    QString IsFullScreen() const { return m_isFullScreen; }
    QString IsUpTop() const { return m_isUpTop; }
    QString animationHex() const { return m_animationHex; }

    // Code 1 is the full-screen box, 2 the on-top box.
    Q_INVOKABLE void didSelectedCheckBox(int code, bool checked);
    // "完成". Positions below 0 and values beyond two bytes have no place
    // in the frame: they are refused with a pop-up and nothing is sent.
    Q_INVOKABLE bool sendSetWindowString();

    void didReceiveWindowInfoNotice(const QString &replyHex);

Q_SIGNALS:
    void fieldsChanged();
    void codesChanged();

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void retranslate() override;

private:
    void setField(QString &field, const QString &text);
    void chooseAnimation(int row);
    // A code with no name here: shown by its number.
    void showUnknownEffect(int code);

    QString m_x, m_y, m_width, m_height, m_interval;
    PickerField *m_animationField;
    QString m_isFullScreen = QStringLiteral("02");
    QString m_isUpTop = QStringLiteral("02");
    QString m_animationHex = QStringLiteral("0000");
    int m_unknownEffect = -1; // the code shown by number, if any
};
