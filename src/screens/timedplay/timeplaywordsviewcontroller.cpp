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
    , m_fangxiangField(new PickerField(FangxiangTag, this))
{
    // Turning the wheel shows the row at once; ending the edit takes it too.
    connect(m_colorField, &PickerField::rowSelected, this, &TimePlayWordsViewController::takeColorRow);
    connect(m_colorField, &PickerField::applied, this, &TimePlayWordsViewController::takeColorRow);
    connect(m_fangxiangField, &PickerField::rowSelected, this, &TimePlayWordsViewController::takeFangxiangRow);
    connect(m_fangxiangField, &PickerField::applied, this, &TimePlayWordsViewController::takeFangxiangRow);
}

void TimePlayWordsViewController::viewDidLoad()
{
    m_colorTypes = ColorList::codes();
    m_fangxiangTypes = TimePlay::directionCodes();
    configureBarbuttonItemStyle(0, QString(), [this] { nextStepAction(); });
    retranslate(); // the title, the button and the label lists, into their fields
    m_isEffect = QStringLiteral("01");
    m_effectOn = true;
    // The fields show the codes that would be sent if left alone.
    takeColorRow(m_colorTypes.indexOf(QStringLiteral("01")));
    takeFangxiangRow(m_fangxiangTypes.indexOf(QStringLiteral("00")));
    Q_EMIT codesChanged();
}

void TimePlayWordsViewController::retranslate()
{
    setTitle(QCoreApplication::translate("TimePlayWordsViewController", "定时播放方案设定"));
    setRightBarButtonTitle(QCoreApplication::translate("TimePlayWordsViewController", "下一步"));
    m_colorField->retranslateItems(ColorList::labels());
    m_fangxiangField->retranslateItems(TimePlay::directionLabels());
}

void TimePlayWordsViewController::viewWillAppear()
{
    if (!m_passValueDict.value(QStringLiteral("wordsDict")).toMap().isEmpty())
        refillFromWordsDict();
}

void TimePlayWordsViewController::refillFromWordsDict()
{
    const QVariantMap words = m_passValueDict.value(QStringLiteral("wordsDict")).toMap();
    auto hex = [&words](const char *key) { return words.value(QLatin1String(key)).toString(); };
    auto decimal = [&hex](const char *key) { return QString::number(TimePlay::hexNumber(hex(key))); };

    setWordString(TimePlay::textFromHex(hex("wordString")));
    setSuduText(decimal("wordSpeedHex"));
    setWordSizeText(decimal("wordSizeHex"));
    const qint64 color = TimePlay::hexNumber(hex("wordColorHex"));
    if (color < m_colorField->count())
        m_colorField->selectRow(int(color));
    const qint64 fangxiang = TimePlay::hexNumber(hex("wordFangxiangHex"));
    if (fangxiang < m_fangxiangField->count())
        m_fangxiangField->selectRow(int(fangxiang));
    setXText(decimal("wordXHex"));
    setYText(decimal("wordYHex"));
    setZText(decimal("wordZHex"));
    switchChangeValueAction(TimePlay::hexNumber(hex("wordIsExistHex")) != 0);
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

void TimePlayWordsViewController::takeFangxiangRow(int row)
{
    if (row < 0 || row >= m_fangxiangTypes.size() || row >= m_fangxiangField->count())
        return;
    m_fangxiangField->setText(m_fangxiangField->items().at(row));
    if (m_fangxiangType != m_fangxiangTypes.at(row)) {
        m_fangxiangType = m_fangxiangTypes.at(row);
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
    const qint64 speed = TimePlay::leadingInteger(m_suduText);
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
void TimePlayWordsViewController::setSuduText(const QString &text) { setText(m_suduText, text); }
void TimePlayWordsViewController::setWordSizeText(const QString &text) { setText(m_wordSizeText, text); }
void TimePlayWordsViewController::setXText(const QString &text) { setText(m_xText, text); }
void TimePlayWordsViewController::setYText(const QString &text) { setText(m_yText, text); }
void TimePlayWordsViewController::setZText(const QString &text) { setText(m_zText, text); }
