#pragma once

#include "ui/ktbaseviewcontroller.h"

#include <QVariantMap>

#include "ui/datetimefield.h"

// The settings of one scheme ("定时播放方案设定"): its name, the clock
// overlay, and the date and time ranges it plays in. "下一步" checks the
// name and the schedule and hands them to the text step. In modify mode
// (isAddTimeProject) it fills itself from the stored scheme each time it
// comes into view.
class TimingPlayViewController : public KTBaseViewController
{
    Q_OBJECT
    Q_PROPERTY(QString projectName READ projectName WRITE setProjectName NOTIFY projectNameChanged)
    Q_PROPERTY(bool selectClock READ selectClock WRITE didSelectedCheckBox NOTIFY clockChanged)
    Q_PROPERTY(int segmentIndex READ segmentIndex WRITE senmentControlAction NOTIFY clockChanged)
    Q_PROPERTY(QString clockType READ clockType NOTIFY clockChanged)
    Q_PROPERTY(QString clockX READ clockX WRITE setClockX NOTIFY clockFieldsChanged)
    Q_PROPERTY(QString clockY READ clockY WRITE setClockY NOTIFY clockFieldsChanged)
    Q_PROPERTY(QString clockWidth READ clockWidth WRITE setClockWidth NOTIFY clockFieldsChanged)
    Q_PROPERTY(QString clockHeight READ clockHeight WRITE setClockHeight NOTIFY clockFieldsChanged)
    Q_PROPERTY(DateTimeField *startDateField READ startDateField CONSTANT)
    Q_PROPERTY(DateTimeField *endDateField READ endDateField CONSTANT)
    Q_PROPERTY(DateTimeField *startTimeField READ startTimeField CONSTANT)
    Q_PROPERTY(DateTimeField *endTimeField READ endTimeField CONSTANT)
    Q_PROPERTY(QString dateAndTimeLabel READ dateAndTimeLabel NOTIFY scheduleChanged)

public:
    enum FieldTag { StartDateTag = 5, EndDateTag = 6, StartTimeTag = 7, EndTimeTag = 8 };
    enum DateButtonTag { AddDateTag = 0, ClearDateTag = 1 };
    Q_ENUM(DateButtonTag)
    enum Segment { VirtualClockSegment = 0, DigitalClockSegment = 1 };
    Q_ENUM(Segment)

    explicit TimingPlayViewController(QObject *parent = nullptr);

    QString windowID() const { return m_windowID; }
    void setWindowID(const QString &windowID) { m_windowID = windowID; }
    QVariantMap chooseDict() const { return m_chooseDict; }
    void setChooseDict(const QVariantMap &dict) { m_chooseDict = dict; }

    QString projectName() const { return m_projectName; }
    void setProjectName(const QString &name);
    bool selectClock() const { return m_selectClock; }
    int segmentIndex() const { return m_segmentIndex; }
    QString clockType() const { return m_clockType; }
    QString clockX() const { return m_clockX; }
    void setClockX(const QString &text);
    QString clockY() const { return m_clockY; }
    void setClockY(const QString &text);
    QString clockWidth() const { return m_clockWidth; }
    void setClockWidth(const QString &text);
    QString clockHeight() const { return m_clockHeight; }
    void setClockHeight(const QString &text);

    DateTimeField *startDateField() const { return m_startDate; }
    DateTimeField *endDateField() const { return m_endDate; }
    DateTimeField *startTimeField() const { return m_startTime; }
    DateTimeField *endTimeField() const { return m_endTime; }
    QString dateAndTimeLabel() const { return m_dateAndTimeLabel; }
    QString dateAndTimeString() const { return m_dateAndTimeString; }

    // The clock tick box "时钟".
    Q_INVOKABLE void didSelectedCheckBox(bool checked);
    // The segments "虚拟时钟" (0) and "数字时钟" (1).
    Q_INVOKABLE void senmentControlAction(int index);
    // "添加日期" (0) appends the four fields; any other tag ("清空日期") clears.
    Q_INVOKABLE void dateButtonAction(int tag);
    // "下一步".
    Q_INVOKABLE void nextStepAction();

    // What "下一步" hands to the text step (also kept for tests).
    QVariantMap passValueDict() const { return m_passValueDict; }

Q_SIGNALS:
    void projectNameChanged();
    void clockChanged();
    void clockFieldsChanged();
    void scheduleChanged();

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void retranslate() override;

private:
    void refillFromChooseDict();
    void setClock(bool selected, int segment);
    void setSchedule(const QString &label, const QString &text);

    QString m_windowID;
    QVariantMap m_chooseDict;
    QVariantMap m_passValueDict;
    QString m_projectName;
    bool m_selectClock = false;
    int m_segmentIndex = VirtualClockSegment;
    QString m_clockType = QStringLiteral("00");
    QString m_clockX, m_clockY, m_clockWidth, m_clockHeight;
    DateTimeField *m_startDate;
    DateTimeField *m_endDate;
    DateTimeField *m_startTime;
    DateTimeField *m_endTime;
    QString m_dateAndTimeLabel;
    QString m_dateAndTimeString;
};
