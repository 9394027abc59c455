#include "screens/overlays/spotwordsviewcontroller.h"

#include "screens/common/serverchooser.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "net/qvmethodlib.h"
#include "protocol/catalogue.h"
#include "protocol/colorlist.h"
#include "protocol/hexcodec.h"
#include "protocol/overlaycommands.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "ui/pickerfield.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>

namespace {
// Direction labels in code order.
const char *const kFangxiangLabels[] = {
    QT_TRANSLATE_NOOP("SpotWordsViewController", "从左往右"),
    QT_TRANSLATE_NOOP("SpotWordsViewController", "从右往左"),
    QT_TRANSLATE_NOOP("SpotWordsViewController", "从上往下"),
    QT_TRANSLATE_NOOP("SpotWordsViewController", "从下到上"),
    QT_TRANSLATE_NOOP("SpotWordsViewController", "静止"),
};
} // namespace

SpotWordsViewController::SpotWordsViewController()
    : m_chooser(new ServerChooser(ShebeiTag, this))
    , m_serverField(m_chooser->field())
    , m_colorField(new PickerField(ColorTag, this))
    , m_directionField(new PickerField(FangxiangTag, this))
{
    for (InputField *field : {static_cast<InputField *>(m_serverField), static_cast<InputField *>(m_colorField),
                              static_cast<InputField *>(m_directionField)})
        connect(field, &InputField::editingEnded, this, [this, field] { textFieldShouldEndEditing(field); });
}

SpotWordsViewController::~SpotWordsViewController() = default;

void SpotWordsViewController::viewDidLoad()
{
    configureBarbuttonItemStyle(0, QString(), [this] { sendSetSpotWords(); });
    m_colorTypeArray = ColorList::codes();
    m_fangxiangTypeArray.clear();
    for (int i = 0; i < int(std::size(kFangxiangLabels)); ++i)
        m_fangxiangTypeArray << QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
    retranslate(); // the title, the button and the label lists, into their fields

    m_isEffect = QStringLiteral("01");
    m_colorType = QStringLiteral("01");
    m_fangxiangType = QStringLiteral("00");
    Q_EMIT codesChanged();

    // The fields start on the rows of the starting codes, so that ending
    // an edit without turning the wheel keeps what is shown.
    showRow(m_colorField, 1);
    showRow(m_directionField, 0);

    // Only fills the field: the query goes to the server already selected.
    m_chooser->load();

    context().notices().subscribe(this, QLatin1String(Catalogue::kSpotWordsReply.notice),
                                  [this](const QVariant &o) { didReceiveChabowenziInfoNotice(o.toString()); });
    QVmethodLib::sendWordsinitializeInfo();
}

void SpotWordsViewController::retranslate()
{
    setTitle(QCoreApplication::translate("SpotWordsViewController", "插播文字"));
    setRightBarButtonTitle(QCoreApplication::translate("SpotWordsViewController", "完成"));
    m_colorArray = ColorList::labels();
    m_fangxiangArray.clear();
    for (const char *label : kFangxiangLabels)
        m_fangxiangArray << QCoreApplication::translate("SpotWordsViewController", label);
    m_colorField->retranslateItems(m_colorArray);
    m_directionField->retranslateItems(m_fangxiangArray);
}

void SpotWordsViewController::viewWillAppear()
{
    setNavigationBarHidden(false);
}

#define QEVA_TEXT_SETTER(Setter, member, signal) \
    void SpotWordsViewController::Setter(const QString &text) \
    { \
        if (member == text) \
            return; \
        member = text; \
        Q_EMIT signal(); \
    }
QEVA_TEXT_SETTER(setSuduText, m_speedText, suduTextChanged)
QEVA_TEXT_SETTER(setDaxiaoText, m_sizeText, daxiaoTextChanged)
QEVA_TEXT_SETTER(setWeizhiXText, m_xText, weizhiXTextChanged)
QEVA_TEXT_SETTER(setWeizhiYText, m_yText, weizhiYTextChanged)
QEVA_TEXT_SETTER(setWeizhiZText, m_zText, weizhiZTextChanged)
QEVA_TEXT_SETTER(setContentText, m_contentText, contentTextChanged)
#undef QEVA_TEXT_SETTER

void SpotWordsViewController::setEffect(bool on)
{
    const QString code = on ? QStringLiteral("01") : QStringLiteral("00");
    if (m_effectOn != on) {
        m_effectOn = on;
        Q_EMIT effectOnChanged();
    }
    if (m_isEffect != code) {
        m_isEffect = code;
        Q_EMIT codesChanged();
    }
}

void SpotWordsViewController::effectSwitchAction(bool on)
{
    setEffect(on);
}

bool SpotWordsViewController::showRow(PickerField *field, int row)
{
    if (!field->selectRow(row))
        return false;
    field->setText(field->wheelText());
    return true;
}

void SpotWordsViewController::didReceiveChabowenziInfoNotice(const QString &replyHex)
{
    const auto reply = OverlayCommands::getSpotWordsInitInfoWithModelNotice(replyHex);
    if (!reply) {
        qevaLog(lcScreens, QStringLiteral("SpotWordsViewController: reply too short, dropped: %1").arg(replyHex));
        return;
    }
    const auto r = OverlayCommands::SpotWordsRecord::fromReply(*reply);
    setEffect(r.effect == QLatin1String("01"));
    setSuduText(r.speed);
    // A code the lists do not know keeps the shown label and its code together.
    if (showRow(m_colorField, r.colorRow()))
        m_colorType = r.color;
    if (showRow(m_directionField, r.directionRow()))
        m_fangxiangType = r.direction;
    Q_EMIT codesChanged();
    setDaxiaoText(r.size);
    setWeizhiXText(r.x);
    setWeizhiYText(r.y);
    setWeizhiZText(r.z);
    setContentText(r.text);
}

bool SpotWordsViewController::textFieldShouldEndEditing(InputField *field)
{
    const int row = field == m_serverField || field == m_colorField || field == m_directionField
                        ? static_cast<PickerField *>(field)->wheelRow()
                        : -1;
    if (row < 0)
        return true;
    switch (field->tag()) {
    case ShebeiTag:
        if (m_chooser->choose())
            QVmethodLib::sendWordsinitializeInfo();
        break;
    case ColorTag:
        m_colorField->setText(m_colorArray.value(row));
        m_colorType = m_colorTypeArray.value(row);
        Q_EMIT codesChanged();
        break;
    case FangxiangTag:
        m_directionField->setText(m_fangxiangArray.value(row));
        m_fangxiangType = m_fangxiangTypeArray.value(row);
        Q_EMIT codesChanged();
        break;
    default:
        break;
    }
    return true;
}

void SpotWordsViewController::sendSetSpotWords()
{
    if (m_contentText.isEmpty()) {
        popups().showError(QCoreApplication::translate("SpotWordsViewController", "请输入文字"));
        return;
    }
    auto value = [](const QString &text) { return HexCodec::returnReplaceNull(text); };
    OverlayCommands::SpotWordsRecord record;
    record.speed = value(m_speedText);
    record.size = value(m_sizeText);
    record.x = value(m_xText);
    record.y = value(m_yText);
    record.z = value(m_zText);
    record.text = value(m_contentText);
    record.effect = value(m_isEffect);
    record.color = value(m_colorType);
    record.direction = value(m_fangxiangType);
    QString misfit;
    if (!QVmethodLib::sendSetSpotWordsWithParameters(record.parameters(), &misfit)) {
        popups().showError(misfit == OverlayCommands::SpotWordsRecord::textKey()
                               ? QCoreApplication::translate("SpotWordsViewController", "文字过长")
                               : QCoreApplication::translate("SpotWordsViewController", "数值超出范围"));
        return;
    }
    popups().showSuccess(QCoreApplication::translate("SpotWordsViewController", "设置成功"));
}

QList<DeviceInfo> SpotWordsViewController::shebeiArray() const
{
    return m_chooser->shebeiArray();
}
