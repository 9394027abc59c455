#include "screens/timedplay/timeplaywordsviewcontroller.h"

#include "protocol/colorlist.h"
#include "protocol/hexcodec.h"
#include "protocol/timedplaycommands.h"
#include "screens/playback/playselectviewcontroller.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/pickerfield.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>

TimePlayWordsViewController::TimePlayWordsViewController(QObject *parent)
    : KTBaseViewController(parent)
    , m_colorField(new PickerField(ColorTag, this))
    , m_directionField(new PickerField(FangxiangTag, this))
{
    // Turning the wheel shows the row at once; ending the edit takes it too.
    connect(m_colorField, &PickerField::rowSelected, this, &TimePlayWordsViewController::takeColorRow);
    connect(m_colorField, &PickerField::applied, this, &TimePlayWordsViewController::takeColorRow);
    connect(m_directionField, &PickerField::rowSelected, this, &TimePlayWordsViewController::takeDirectionRow);
    connect(m_directionField, &PickerField::applied, this, &TimePlayWordsViewController::takeDirectionRow);
}

void TimePlayWordsViewController::viewDidLoad()
{
    m_colorTypes = ColorList::codes();
    m_directionTypes = TimePlay::directionCodes();
    configureBarbuttonItemStyle(0, QString(), [this] { nextStepAction(); });
    retranslate(); // the title, the button and the label lists, into their fields
    m_isEffect = QStringLiteral("01");
    m_effectOn = true;
    // The fields show the codes that would be sent if left alone.
    takeColorRow(m_colorTypes.indexOf(QStringLiteral("01")));
    takeDirectionRow(m_directionTypes.indexOf(QStringLiteral("00")));
    Q_EMIT codesChanged();
}

void TimePlayWordsViewController::retranslate()
{
    setTitle(QCoreApplication::translate("TimePlayWordsViewController", "定时播放方案设定"));
    setRightBarButtonTitle(QCoreApplication::translate("TimePlayWordsViewController", "下一步"));
    m_colorField->retranslateItems(ColorList::labels());
    m_directionField->retranslateItems(TimePlay::directionLabels());
}

void TimePlayWordsViewController::viewWillAppear()
{
    if (!m_passValueDict.value(QStringLiteral("wordsDict")).toMap().isEmpty())
        refillFromWordsDict();
}

void TimePlayWordsViewController::refillFromWordsDict()
{
    // The hand-over carries the scheme's text settings as the scheme holds them.
    const auto scheme = TimedPlayCommands::SchemeRecord::fromScheme(m_passValueDict);
    auto decimal = [](const QString &hex) { return QString::number(TimePlay::hexNumber(hex)); };

    setWordString(TimePlay::textFromHex(scheme.text));
    setSuduText(decimal(scheme.textSpeed));
    setWordSizeText(decimal(scheme.textSize));
    const qint64 color = TimePlay::hexNumber(scheme.textColor);
    if (color < m_colorField->count())
        m_colorField->selectRow(int(color));
    const qint64 direction = TimePlay::hexNumber(scheme.textDirection);
    if (direction < m_directionField->count())
        m_directionField->selectRow(int(direction));
    setXText(decimal(scheme.textX));
    setYText(decimal(scheme.textY));
    setZText(decimal(scheme.textZ));
    switchChangeValueAction(TimePlay::hexNumber(scheme.textOn) != 0);
}

void TimePlayWordsViewController::takeColorRow(int row)
{
    if (row < 0 || row >= m_colorTypes.size() || row >= m_colorField->count())
        return;
    m_colorField->setText(m_colorField->items().at(row));
    if (m_colorType != m_colorTypes.at(row)) {
        m_colorType = m_colorTypes.at(row);
        Q_EMIT codesChanged();
    }
}

void TimePlayWordsViewController::takeDirectionRow(int row)
{
    if (row < 0 || row >= m_directionTypes.size() || row >= m_directionField->count())
        return;
    m_directionField->setText(m_directionField->items().at(row));
    if (m_fangxiangType != m_directionTypes.at(row)) {
        m_fangxiangType = m_directionTypes.at(row);
        Q_EMIT codesChanged();
    }
}

void TimePlayWordsViewController::switchChangeValueAction(bool on)
{
    const QString flag = on ? QStringLiteral("01") : QStringLiteral("00");
    if (m_effectOn == on && m_isEffect == flag)
        return;
    m_effectOn = on;
    m_isEffect = flag;
    Q_EMIT codesChanged();
}

void TimePlayWordsViewController::nextStepAction()
{
    // One-byte and two-byte fields: a value that does not fit would be
    // written wider and shift the rest of the frame on the server.
    const qint64 speed = TimePlay::leadingInteger(m_speedText);
    const qint64 size = TimePlay::leadingInteger(m_wordSizeText);
    if (speed < 0 || speed > 0xff || size < 0 || size > 0xff) {
        popups().showError(QCoreApplication::translate("TimePlayWordsViewController", "播放速度和字体大小应在0到255之间"));
        return;
    }
    const qint64 x = TimePlay::leadingInteger(m_xText);
    const qint64 y = TimePlay::leadingInteger(m_yText);
    const qint64 z = TimePlay::leadingInteger(m_zText);
    for (qint64 v : {x, y, z}) {
        if (v < 0 || v > 0xffff) {
            popups().showError(QCoreApplication::translate("TimePlayWordsViewController", "位置应在0到65535之间"));
            return;
        }
    }
    const QByteArray text = m_wordString.toUtf8();
    if (text.size() > 0xffff) {
        popups().showError(QCoreApplication::translate("TimePlayWordsViewController", "文字过长"));
        return;
    }

    const QVariantMap clock = m_passValueDict.value(QStringLiteral("clockDict")).toMap();
    const QVariantMap time = m_passValueDict.value(QStringLiteral("timeDict")).toMap();
    auto pass = [this](const char *key) { return m_passValueDict.value(QLatin1String(key)).toString(); };
    auto clockValue = [&clock](const char *key) { return clock.value(QLatin1String(key)).toString(); };

    TimedPlayCommands::TimePlayParamFields f;
    f.windowID = m_windowID;
    f.projectIDHex = pass("projectIDHex");
    f.projectNameLenHex = pass("ProjectNameLenHex");
    f.projectNameHex = pass("ProjectNameHex");
    f.clockTypeHex = clockValue("clockTypeHex");
    f.clockXHex = clockValue("weizhiXHex");
    f.clockYHex = clockValue("weizhiYHex");
    f.clockWHex = clockValue("kuanduHex");
    f.clockHHex = clockValue("gaoduHex");
    f.wordIsExistHex = m_isEffect;
    f.wordSpeedHex = HexCodec::TenToHexForTwo(speed);
    f.wordColorHex = m_colorType;
    f.wordFangxiangHex = m_fangxiangType;
    f.wordSizeHex = HexCodec::TenToHexForTwo(size);
    f.wordXHex = HexCodec::TenToHex(x);
    f.wordYHex = HexCodec::TenToHex(y);
    f.wordZHex = HexCodec::TenToHex(z);
    f.wordsLenHex = HexCodec::TenToHex(text.size());
    f.wordsHex = HexCodec::chineseToHex(m_wordString);
    f.timeLenHex = time.value(QStringLiteral("wordsHex")).toString();
    f.timeHex = time.value(QStringLiteral("wordsString")).toString();

    const std::optional<Request> parameters = TimedPlayCommands::schemeParameters(f);
    if (!parameters) {
        // Only a hand-over that did not come from the settings step gets here.
        popups().showError(QCoreApplication::translate("TimePlayWordsViewController", "方案参数有误"));
        return;
    }

    auto *files = new PlaySelectViewController;
    files->setTimePlayParam(parameters->frame);
    files->setWindowID(m_windowID);
    files->setProjectIDHex(f.projectIDHex);
    if (KTBaseNavigationController *nav = navigationController(); !nav || !nav->push(files))
        delete files;
}

void TimePlayWordsViewController::setText(QString &member, const QString &text)
{
    if (member == text)
        return;
    member = text;
    Q_EMIT fieldsChanged();
}

void TimePlayWordsViewController::setWordString(const QString &text) { setText(m_wordString, text); }
void TimePlayWordsViewController::setSuduText(const QString &text) { setText(m_speedText, text); }
void TimePlayWordsViewController::setWordSizeText(const QString &text) { setText(m_wordSizeText, text); }
void TimePlayWordsViewController::setXText(const QString &text) { setText(m_xText, text); }
void TimePlayWordsViewController::setYText(const QString &text) { setText(m_yText, text); }
void TimePlayWordsViewController::setZText(const QString &text) { setText(m_zText, text); }
