#include "screens/settings/systemsetviewcontroller.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "net/qvmethodlib.h"
#include "protocol/catalogue.h"
#include "protocol/colorlist.h"
#include "protocol/hexcodec.h"
#include "protocol/settingscommands.h"
#include "screens/common/serverchooser.h"
#include "session/commonmanager.h"
#include "ui/datetimefield.h"
#include "ui/pickerfield.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>
#include <QTime>
#include <iterator>

namespace {
const char *const kContext = "SystemSetViewController";

// Labels in code order: the row is the code.
const char *const kVideoSourceLabels[] = {
    QT_TRANSLATE_NOOP("SystemSetViewController", "自动"),
    QT_TRANSLATE_NOOP("SystemSetViewController", "A20"),
    QT_TRANSLATE_NOOP("SystemSetViewController", "HDMI"),
};
const char *const kRotationLabels[] = {
    QT_TRANSLATE_NOOP("SystemSetViewController", "0°"),
    QT_TRANSLATE_NOOP("SystemSetViewController", "90°"),
    QT_TRANSLATE_NOOP("SystemSetViewController", "180°"),
    QT_TRANSLATE_NOOP("SystemSetViewController", "270°"),
};

QString translated(const char *text)
{
    return QCoreApplication::translate(kContext, text);
}

QString code(int row)
{
    return QStringLiteral("%1").arg(row, 2, 16, QLatin1Char('0'));
}

// A slider's value as its display shows it: rounded like "%.f".
QString display(double value)
{
    return QString::asprintf("%.f", value);
}

int byteValue(const QMap<QString, QString> &reply, const char *key)
{
    return reply.value(QLatin1String(key)).toInt(nullptr, 16);
}
} // namespace

SystemSetViewController::SystemSetViewController()
    : m_chooser(new ServerChooser(ShebeiTag, this))
    , m_backgroundColourField(new PickerField(BeijingYanseTag, this))
    , m_videoSourceField(new PickerField(ShipinyuanTag, this))
    , m_rotationField(new PickerField(XuanzhuanduTag, this))
    , m_setTimeField(new DateTimeField(DateTimeField::Time, SetTimeTag, this))
{
    for (InputField *field : std::initializer_list<InputField *>{m_chooser->field(), m_backgroundColourField,
                                                                  m_videoSourceField, m_rotationField, m_setTimeField})
        connect(field, &InputField::editingEnded, this, [this, field] { textFieldShouldEndEditing(field); });
}

SystemSetViewController::~SystemSetViewController() = default;

PickerField *SystemSetViewController::shebeiField() const
{
    return m_chooser->field();
}

QList<DeviceInfo> SystemSetViewController::shebeiArray() const
{
    return m_chooser->shebeiArray();
}

void SystemSetViewController::viewDidLoad()
{
    m_colorTypeArray = ColorList::codes();
    m_shipinTypeArray.clear();
    for (int i = 0; i < int(std::size(kVideoSourceLabels)); ++i)
        m_shipinTypeArray << code(i);
    m_xuanzhuanTypeArray.clear();
    for (int i = 0; i < int(std::size(kRotationLabels)); ++i)
        m_xuanzhuanTypeArray << code(i);
    retranslate(); // the title and the label lists, into their fields

    m_chooser->load();
    m_setTimeField->setText(m_setTimeField->format(QDate(), m_setTimeField->wheelTime()));

    NoticeCenter &notices = context().notices();
    notices.subscribe(this, QLatin1String(Catalogue::kSystemInfoReply.notice),
                      [this](const QVariant &o) { didReceiveSystemInfoNotice(o.toString()); });
    notices.subscribe(this, QLatin1String(Catalogue::kVolumeReply.notice),
                      [this](const QVariant &o) { didReceiveSystemYinliangValueInfoNotice(o.toString()); });
    getSystemInfo();
}

void SystemSetViewController::retranslate()
{
    setTitle(QCoreApplication::translate("SystemSetViewController", "系统设置"));
    m_colorArray = ColorList::labels();
    m_shipinArray.clear();
    for (const char *label : kVideoSourceLabels)
        m_shipinArray << translated(label);
    m_xuanzhuanArray.clear();
    for (const char *label : kRotationLabels)
        m_xuanzhuanArray << translated(label);
    m_backgroundColourField->retranslateItems(m_colorArray);
    m_videoSourceField->retranslateItems(m_shipinArray);
    m_rotationField->retranslateItems(m_xuanzhuanArray);
}

void SystemSetViewController::viewWillAppear()
{
    setNavigationBarHidden(false);
}

bool SystemSetViewController::hasSelectedServer() const
{
    return !CommonManager::sharedManager().currentSelectDev.deviceIp.isEmpty();
}

void SystemSetViewController::getSystemInfo()
{
    if (!hasSelectedServer()) {
        qevaLog(lcScreens, QStringLiteral("system settings: no server selected, nothing asked"));
        return;
    }
    QVmethodLib::sendSystemSetInitializeInfo();
    QVmethodLib::getSystemYinliangValueInfo();
}

void SystemSetViewController::didReceiveSystemInfoNotice(const QString &replyHex)
{
    const auto parsed = SettingsCommands::getSystemInitInfoWithModelNotice(replyHex);
    if (!parsed) {
        qevaLog(lcScreens, QStringLiteral("system settings: reply dropped, shorter than its layout"));
        return;
    }
    const QMap<QString, QString> &info = *parsed;

    m_isRestartDevice = byteValue(info, "isRestart") == 1 ? QStringLiteral("01") : QStringLiteral("00");
    m_isSkipLogin = byteValue(info, "isSkipLogin") != 0 ? QStringLiteral("01") : QStringLiteral("00");
    m_isOpenWifi = byteValue(info, "isOpenWifi") == 2 ? QStringLiteral("02") : QStringLiteral("01");
    m_isOpenKaiguan = byteValue(info, "isOpenkaiguan") == 1 ? QStringLiteral("01") : QStringLiteral("02");
    // The server's own codes, even one past the label lists: "保存" gives
    // back what the server has unless the user picks another.
    m_colorType = info.value(QStringLiteral("beijingColorHex"));
    m_shipinType = info.value(QStringLiteral("shipinyuanHex"));
    m_xuanzhuanType = info.value(QStringLiteral("xuanzhuanHex"));

    const QString light = info.value(QStringLiteral("lightValue"));
    setLiangdu(light, light.toInt());
    showLabel(m_backgroundColourField, info.value(QStringLiteral("beijingColor")));

    // A text that is not UTF-8 is left out of the reply: the field keeps its own.
    if (info.contains(QStringLiteral("restartTimeString"))) {
        const QString time = info.value(QStringLiteral("restartTimeString"));
        m_setTimeField->setText(time);
        const QTime wheel = QTime::fromString(time, QStringLiteral("HH:mm:ss"));
        if (wheel.isValid())
            m_setTimeField->selectTime(wheel);
    }
    if (info.contains(QStringLiteral("transPathString")))
        m_transPathString = info.value(QStringLiteral("transPathString"));

    setSwitches(byteValue(info, "isRestart") == 1, byteValue(info, "isSkipLogin") != 0,
                byteValue(info, "isOpenkaiguan") == 1);

    m_redValue = info.value(QStringLiteral("getredValue"));
    m_greenValue = info.value(QStringLiteral("getgreenValue"));
    m_blueValue = info.value(QStringLiteral("getblueValue"));
    m_redSlider = m_redValue.toInt();
    m_greenSlider = m_greenValue.toInt();
    m_blueSlider = m_blueValue.toInt();
    Q_EMIT colourChanged();

    showLabel(m_videoSourceField, info.value(QStringLiteral("shipinyuan")));
    showLabel(m_rotationField, info.value(QStringLiteral("xuanzhuandu")));

    m_hasSystemInfo = true;
    Q_EMIT codesChanged();
}

void SystemSetViewController::didReceiveSystemYinliangValueInfoNotice(const QString &replyHex)
{
    const auto parsed = SettingsCommands::getSystemYinliangValueWithModelNotice(replyHex);
    if (!parsed) {
        qevaLog(lcScreens, QStringLiteral("system settings: volume reply dropped, shorter than its layout"));
        return;
    }
    m_volumeMaximum = parsed->value(QStringLiteral("MaxyinliangValue")).toInt();
    const QString volume = parsed->value(QStringLiteral("TheyinliangValue"));
    setYinliang(volume, volume.toInt());
}

void SystemSetViewController::showLabel(PickerField *field, const QString &index)
{
    bool ok = false;
    const int row = index.toInt(&ok);
    if (!ok || row < 0 || row >= field->count())
        return;
    field->setText(field->items().at(row));
    field->selectRow(row); // the wheel opens on what is shown
}

bool SystemSetViewController::checkServerSelected()
{
    if (hasSelectedServer())
        return true;
    // Without an address the frame would go nowhere; saying so beats a
    // success pop-up for a command that never left.
    popups().showError(QCoreApplication::translate("SystemSetViewController", "请选择需要设定的设备"));
    return false;
}

bool SystemSetViewController::report(bool sent)
{
    if (sent)
        popups().showSuccess(QCoreApplication::translate("SystemSetViewController", "设置成功"));
    else
        popups().showError(QCoreApplication::translate("SystemSetViewController", "设置失败"));
    return sent;
}

bool SystemSetViewController::sendSetSystemInfo()
{
    if (!checkServerSelected())
        return false;
    // Before the record arrives the flags and the transfer path are not
    // the server's: saving would overwrite them with the screen's defaults.
    if (!m_hasSystemInfo) {
        popups().showError(QCoreApplication::translate("SystemSetViewController", "未收到设备设置，请稍后再试"));
        return false;
    }
    SettingsCommands::SettingsRecord record;
    record.brightness = HexCodec::returnReplaceNull(m_liangdu);
    record.restartTime = HexCodec::returnReplaceNull(m_setTimeField->text());
    record.transferPath = HexCodec::returnReplaceNull(m_transPathString);
    record.restartDevice = HexCodec::returnReplaceNull(m_isRestartDevice);
    record.skipLogin = HexCodec::returnReplaceNull(m_isSkipLogin);
    record.wifi = HexCodec::returnReplaceNull(m_isOpenWifi);
    record.background = HexCodec::returnReplaceNull(m_colorType);
    return report(QVmethodLib::sendSetSystemInfoWithParamaters(record.parameters()));
}

bool SystemSetViewController::sendSetkaiguanPing()
{
    if (!checkServerSelected())
        return false;
    return report(QVmethodLib::sendSetSystemKaiguanPingWithParamaters(m_isOpenKaiguan));
}

bool SystemSetViewController::sendSetshipinyuan()
{
    if (!checkServerSelected())
        return false;
    return report(QVmethodLib::sendSetSystemshipinyuanWithParamaters(m_shipinType));
}

bool SystemSetViewController::sendSetxuanzhuanjiaodu()
{
    if (!checkServerSelected())
        return false;
    return report(QVmethodLib::sendSetSystemPingmuXuanzhuanWithParamaters(m_xuanzhuanType));
}

bool SystemSetViewController::sendColour()
{
    if (!checkServerSelected())
        return false;
    const QMap<QString, QString> parameters{
        {QStringLiteral("redValue"), HexCodec::returnReplaceNull(m_redValue)},
        {QStringLiteral("greenValue"), HexCodec::returnReplaceNull(m_greenValue)},
        {QStringLiteral("blueValue"), HexCodec::returnReplaceNull(m_blueValue)},
    };
    return report(QVmethodLib::sendSetSystemColorWithParamaters(parameters));
}

bool SystemSetViewController::textFieldShouldEndEditing(InputField *field)
{
    auto *picker = qobject_cast<PickerField *>(field);
    const int row = picker ? picker->currentIndex() : -1;
    switch (field->tag()) {
    case ShebeiTag:
        if (m_chooser->choose()) {
            // The screen reloads from the new server; until its record
            // arrives there is nothing of its own to save.
            m_hasSystemInfo = false;
            Q_EMIT codesChanged();
            getSystemInfo();
        }
        break;
    case BeijingYanseTag:
        if (row >= 0 && row < m_colorTypeArray.size()) {
            m_colorType = m_colorTypeArray.at(row);
            Q_EMIT codesChanged();
        }
        break;
    case ShipinyuanTag:
        if (row >= 0 && row < m_shipinTypeArray.size()) {
            m_shipinType = m_shipinTypeArray.at(row);
            Q_EMIT codesChanged();
            sendSetshipinyuan();
        }
        break;
    case XuanzhuanduTag:
        if (row >= 0 && row < m_xuanzhuanTypeArray.size()) {
            m_xuanzhuanType = m_xuanzhuanTypeArray.at(row);
            Q_EMIT codesChanged();
            sendSetxuanzhuanjiaodu();
        }
        break;
    default: // the restart time field shows its wheel by itself
        break;
    }
    return true;
}

void SystemSetViewController::ButtonActionTouch(int tag)
{
    switch (tag) {
    case LiangduDefaultTag:
        setLiangdu(QString::number(kDefaultLiangdu), kDefaultLiangdu);
        break;
    case YinliangDefaultTag:
        // Only the slider sends the volume.
        setYinliang(QString::number(kDefaultYinliang), kDefaultYinliang);
        break;
    case ClearTimeTag:
        m_setTimeField->setText(QString());
        break;
    case SaveTag:
        sendSetSystemInfo();
        break;
    case CancelTag:
        goBackAction();
        break;
    default:
        break;
    }
}

void SystemSetViewController::sliderValueChangeAction(double value)
{
    setLiangdu(display(value), value);
}

void SystemSetViewController::yinyangValueChange(double value)
{
    setYinliang(display(value), value);
    if (!checkServerSelected())
        return;
    report(QVmethodLib::sendSetSystemYinLiangWithParamaters(m_yinliang));
}

void SystemSetViewController::sewenSwitchChange(bool on)
{
    m_isOpenKaiguan = on ? QStringLiteral("01") : QStringLiteral("02");
    Q_EMIT codesChanged();
    setSwitches(m_kaijiSwitch, m_loginSwitch, on);
    sendSetkaiguanPing();
}

void SystemSetViewController::redValueChange(double value)
{
    m_redValue = display(value);
    m_redSlider = value;
    Q_EMIT colourChanged();
    sendColour();
}

void SystemSetViewController::greenValueChange(double value)
{
    m_greenValue = display(value);
    m_greenSlider = value;
    Q_EMIT colourChanged();
    sendColour();
}

void SystemSetViewController::blueValueChange(double value)
{
    m_blueValue = display(value);
    m_blueSlider = value;
    Q_EMIT colourChanged();
    sendColour();
}

void SystemSetViewController::setLiangdu(const QString &text, double slider)
{
    m_liangdu = text;
    m_brightnessSlider = slider;
    Q_EMIT liangduChanged();
}

void SystemSetViewController::setYinliang(const QString &text, double slider)
{
    m_yinliang = text;
    m_volumeSlider = slider;
    Q_EMIT yinliangChanged();
}

void SystemSetViewController::setSwitches(bool restart, bool login, bool single)
{
    m_kaijiSwitch = restart;
    m_loginSwitch = login;
    m_singleSwitch = single;
    Q_EMIT switchesChanged();
}
