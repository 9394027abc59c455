#include "screens/overlays/clocksetviewcontroller.h"

#include "screens/common/serverchooser.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "net/qvmethodlib.h"
#include "protocol/catalogue.h"
#include "protocol/hexcodec.h"
#include "protocol/overlaycommands.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "ui/pickerfield.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>

ClockSetViewController::ClockSetViewController()
    : m_chooser(new ServerChooser(ShebeiTag, this))
    , m_serverField(m_chooser->field())
{
    // The wheel shows its server in the field at once; the choice itself
    // is applied when the edit ends.
    connect(m_serverField, &PickerField::rowSelected, this,
            [this] { m_serverField->setText(m_serverField->wheelText()); });
    connect(m_serverField, &InputField::editingEnded, this, [this] { textFieldShouldEndEditing(m_serverField); });
}

ClockSetViewController::~ClockSetViewController() = default;

void ClockSetViewController::viewDidLoad()
{
    configureBarbuttonItemStyle(0, QString(), [this] { doneAction(); });
    retranslate();
    segmentAction(0);
    executeSwitchChange(true);

    // Only fills the field: the query goes to the server already selected.
    m_chooser->load();

    context().notices().subscribe(this, QLatin1String(Catalogue::kClockReply.notice),
                                  [this](const QVariant &o) { didReceiveClocoInfoNotice(o.toString()); });
    sendClockinitializeInfo();
}

void ClockSetViewController::retranslate()
{
    setTitle(QCoreApplication::translate("ClockSetViewController", "时钟设定"));
    setRightBarButtonTitle(QCoreApplication::translate("ClockSetViewController", "完成"));
}

void ClockSetViewController::viewWillAppear()
{
    setNavigationBarHidden(false);
}

#define QEVA_TEXT_SETTER(Setter, member, signal) \
    void ClockSetViewController::Setter(const QString &text) \
    { \
        if (member == text) \
            return; \
        member = text; \
        Q_EMIT signal(); \
    }
QEVA_TEXT_SETTER(setXText, m_xText, xTextChanged)
QEVA_TEXT_SETTER(setYText, m_yText, yTextChanged)
QEVA_TEXT_SETTER(setWidthText, m_widthText, widthTextChanged)
QEVA_TEXT_SETTER(setHeightText, m_heightText, heightTextChanged)
#undef QEVA_TEXT_SETTER

void ClockSetViewController::sendClockinitializeInfo()
{
    QVmethodLib::sendClockinitializeInfo();
}

void ClockSetViewController::segmentAction(int index)
{
    const int segment = index == 1 ? 1 : 0;
    const QString code = segment == 1 ? QStringLiteral("01") : QStringLiteral("02");
    if (m_segmentIndex == segment && m_clockType == code)
        return;
    m_segmentIndex = segment;
    m_clockType = code;
    Q_EMIT segmentChanged();
}

void ClockSetViewController::executeSwitchChange(bool on)
{
    const QString code = on ? QStringLiteral("01") : QStringLiteral("02");
    if (m_executeOn == on && m_isExecute == code)
        return;
    m_executeOn = on;
    m_isExecute = code;
    Q_EMIT executeChanged();
}

void ClockSetViewController::didReceiveClocoInfoNotice(const QString &replyHex)
{
    const auto reply = OverlayCommands::getClockSetInitInfoWithModelNotice(replyHex);
    if (!reply) {
        qevaLog(lcScreens, QStringLiteral("ClockSetViewController: reply too short, dropped: %1").arg(replyHex));
        return;
    }
    const auto r = OverlayCommands::ClockRecord::fromReply(*reply);
    segmentAction(r.isDigital() ? 1 : 0);
    setXText(r.x);
    setYText(r.y);
    setWidthText(r.width);
    setHeightText(r.height);
    executeSwitchChange(r.isRunning());
}

bool ClockSetViewController::textFieldShouldEndEditing(InputField *field)
{
    if (field != m_serverField || field->tag() != ShebeiTag)
        return true;
    if (m_chooser->choose())
        sendClockinitializeInfo();
    return true;
}

void ClockSetViewController::doneAction()
{
    if (m_serverField->text().isEmpty()) {
        popups().showError(QCoreApplication::translate("ClockSetViewController", "请选择需要设定的设备"));
        return;
    }
    sendSetClockOrder();
}

void ClockSetViewController::sendSetClockOrder()
{
    auto value = [](const QString &text) { return HexCodec::returnReplaceNull(text); };
    OverlayCommands::ClockRecord record;
    record.x = value(m_xText);
    record.y = value(m_yText);
    record.width = value(m_widthText);
    record.height = value(m_heightText);
    record.type = value(m_clockType);
    record.run = value(m_isExecute);
    if (!QVmethodLib::sendSetClockOrderWithParameters(record.parameters())) {
        popups().showError(QCoreApplication::translate("ClockSetViewController", "数值超出范围"));
        return;
    }
    popups().showSuccess(QCoreApplication::translate("ClockSetViewController", "设置成功"));
}

QList<DeviceInfo> ClockSetViewController::shebeiArray() const
{
    return m_chooser->shebeiArray();
}
