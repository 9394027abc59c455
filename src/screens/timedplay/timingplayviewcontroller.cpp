#include "screens/timedplay/timingplayviewcontroller.h"

#include "protocol/hexcodec.h"
#include "protocol/timedplaycommands.h"
#include "screens/timedplay/timeplaywordsviewcontroller.h"
#include "session/commonmanager.h"
#include "ui/datetimefield.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>

TimingPlayViewController::TimingPlayViewController(QObject *parent)
    : KTBaseViewController(parent)
    , m_startDate(new DateTimeField(DateTimeField::Date, StartDateTag, this))
    , m_endDate(new DateTimeField(DateTimeField::Date, EndDateTag, this))
    , m_startTime(new DateTimeField(DateTimeField::Time, StartTimeTag, this))
    , m_endTime(new DateTimeField(DateTimeField::Time, EndTimeTag, this))
{
}

void TimingPlayViewController::viewDidLoad()
{
    m_clockType = QStringLiteral("00");
    // Today and the present time, as the wheels start there.
    for (DateTimeField *field : {m_startDate, m_endDate, m_startTime, m_endTime})
        field->setText(field->format(field->wheelDate(), field->wheelTime()));
    configureBarbuttonItemStyle(0, QString(), [this] { nextStepAction(); });
    retranslate();
    Q_EMIT clockChanged();
}

void TimingPlayViewController::retranslate()
{
    setTitle(QCoreApplication::translate("TimingPlayViewController", "定时播放方案设定"));
    setRightBarButtonTitle(QCoreApplication::translate("TimingPlayViewController", "下一步"));
}

void TimingPlayViewController::viewWillAppear()
{
    // Also on the way back from the text step: the stored scheme is put
    // back over what was edited.
    if (CommonManager::sharedManager().isAddTimeProject)
        refillFromChooseDict();
}

void TimingPlayViewController::refillFromChooseDict()
{
    const auto scheme = TimedPlayCommands::SchemeRecord::fromScheme(m_chooseDict);
    setProjectName(scheme.name);

    switch (TimePlay::leadingInteger(scheme.clockType)) {
    case 1:
        setClock(true, DigitalClockSegment);
        break;
    case 2:
        setClock(true, VirtualClockSegment);
        break;
    default:
        setClock(false, m_segmentIndex);
        break;
    }
    auto decimal = [](const QString &hex) { return QString::number(TimePlay::hexNumber(hex)); };
    setClockX(decimal(scheme.clockX));
    setClockY(decimal(scheme.clockY));
    setClockWidth(decimal(scheme.clockWidth));
    setClockHeight(decimal(scheme.clockHeight));

    const QString schedule = TimePlay::textFromHex(scheme.schedule);
    // The accumulated text starts from the stored schedule too, so that
    // "添加日期" adds to it instead of silently dropping it.
    setSchedule(schedule, schedule);
}

void TimingPlayViewController::setClock(bool selected, int segment)
{
    const QString type = !selected ? QStringLiteral("00")
                         : segment == VirtualClockSegment ? QStringLiteral("02")
                                                          : QStringLiteral("01");
    if (m_selectClock == selected && m_segmentIndex == segment && m_clockType == type)
        return;
    m_selectClock = selected;
    m_segmentIndex = segment;
    m_clockType = type;
    Q_EMIT clockChanged();
}

void TimingPlayViewController::didSelectedCheckBox(bool checked)
{
    setClock(checked, m_segmentIndex);
}

void TimingPlayViewController::senmentControlAction(int index)
{
    if (index != VirtualClockSegment && index != DigitalClockSegment)
        return;
    setClock(m_selectClock, index);
}

void TimingPlayViewController::dateButtonAction(int tag)
{
    if (tag == AddDateTag) {
        const QString entry = QStringLiteral("%1~%2#%3~%4;")
                                  .arg(m_startDate->text(), m_endDate->text(), m_startTime->text(), m_endTime->text());
        const QString text = m_dateAndTimeString + entry;
        setSchedule(text, text);
    } else {
        setSchedule(QString(), QString());
    }
}

void TimingPlayViewController::setSchedule(const QString &label, const QString &text)
{
    m_dateAndTimeString = text;
    if (m_dateAndTimeLabel == label)
        return;
    m_dateAndTimeLabel = label;
    Q_EMIT scheduleChanged();
}

void TimingPlayViewController::nextStepAction()
{
    if (m_projectName.isEmpty()) {
        popups().showError(QCoreApplication::translate("TimingPlayViewController", "请填写方案名称"));
        return;
    }
    if (m_dateAndTimeLabel.isEmpty()) {
        popups().showError(QCoreApplication::translate("TimingPlayViewController", "请添加日期"));
        return;
    }
    // Each goes into a 2-byte field; a wider value would shift the rest of
    // the frame on the server.
    QList<qint64> clockValues;
    for (const QString *text : {&m_clockX, &m_clockY, &m_clockWidth, &m_clockHeight}) {
        const qint64 v = TimePlay::leadingInteger(*text);
        if (v < 0 || v > 0xffff) {
            popups().showError(QCoreApplication::translate("TimingPlayViewController", "时钟位置和大小应在0到65535之间"));
            return;
        }
        clockValues << v;
    }
    const QByteArray name = m_projectName.toUtf8();
    const QByteArray schedule = m_dateAndTimeLabel.toUtf8();
    if (name.size() > 0xffff || schedule.size() > 0xffff) {
        popups().showError(QCoreApplication::translate("TimingPlayViewController", "方案名称或日期过长"));
        return;
    }

    const bool modifying = m_chooseDict.value(QStringLiteral("state")).toString() == QLatin1String("1");
    m_passValueDict = {
        {QStringLiteral("ProjectNameHex"), HexCodec::chineseToHex(m_projectName)},
        {QStringLiteral("ProjectNameLenHex"), HexCodec::TenToHex(name.size())},
        {QStringLiteral("projectIDHex"), TimedPlayCommands::SchemeRecord::fromScheme(m_chooseDict).id},
        {QStringLiteral("clockDict"),
         QVariantMap{
             {QStringLiteral("clockTypeHex"), m_clockType},
             {QStringLiteral("weizhiXHex"), HexCodec::TenToHex(clockValues.at(0))},
             {QStringLiteral("weizhiYHex"), HexCodec::TenToHex(clockValues.at(1))},
             {QStringLiteral("kuanduHex"), HexCodec::TenToHex(clockValues.at(2))},
             {QStringLiteral("gaoduHex"), HexCodec::TenToHex(clockValues.at(3))},
         }},
        {QStringLiteral("wordsDict"),
         modifying ? m_chooseDict.value(QStringLiteral("wordsDict")).toMap() : QVariantMap()},
        {QStringLiteral("timeDict"),
         QVariantMap{
             {QStringLiteral("wordsString"), HexCodec::chineseToHex(m_dateAndTimeLabel)},
             {QStringLiteral("wordsHex"), HexCodec::TenToHex(schedule.size())},
         }},
    };

    auto *words = new TimePlayWordsViewController;
    words->setWindowID(m_windowID);
    words->setPassValueDict(m_passValueDict);
    if (KTBaseNavigationController *nav = navigationController(); !nav || !nav->push(words))
        delete words;
}

void TimingPlayViewController::setProjectName(const QString &name)
{
    if (m_projectName == name)
        return;
    m_projectName = name;
    Q_EMIT projectNameChanged();
}

void TimingPlayViewController::setClockX(const QString &text)
{
    if (m_clockX == text)
        return;
    m_clockX = text;
    Q_EMIT clockFieldsChanged();
}

void TimingPlayViewController::setClockY(const QString &text)
{
    if (m_clockY == text)
        return;
    m_clockY = text;
    Q_EMIT clockFieldsChanged();
}

void TimingPlayViewController::setClockWidth(const QString &text)
{
    if (m_clockWidth == text)
        return;
    m_clockWidth = text;
    Q_EMIT clockFieldsChanged();
}

void TimingPlayViewController::setClockHeight(const QString &text)
{
    if (m_clockHeight == text)
        return;
    m_clockHeight = text;
    Q_EMIT clockFieldsChanged();
}
