#include "screens/playback/playwindowsetviewcontroller.h"

#include "core/appcontext.h"
#include "net/qvmethodlib.h"
#include "protocol/catalogue.h"
#include "protocol/hexcodec.h"
#include "protocol/windowcommands.h"
#include "session/commonmanager.h"
#include "ui/pickerfield.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>

namespace {

constexpr const char *kAnimationLabels[] = {
    QT_TRANSLATE_NOOP("PlayWindowSetViewController", "正常切换"),
    QT_TRANSLATE_NOOP("PlayWindowSetViewController", "旋转效果"),
    QT_TRANSLATE_NOOP("PlayWindowSetViewController", "缩放效果"),
    QT_TRANSLATE_NOOP("PlayWindowSetViewController", "从左到右"),
    QT_TRANSLATE_NOOP("PlayWindowSetViewController", "从右到左"),
    QT_TRANSLATE_NOOP("PlayWindowSetViewController", "从上到下"),
    QT_TRANSLATE_NOOP("PlayWindowSetViewController", "从下到上"),
    QT_TRANSLATE_NOOP("PlayWindowSetViewController", "左右交错"),
    QT_TRANSLATE_NOOP("PlayWindowSetViewController", "上下交错"),
    QT_TRANSLATE_NOOP("PlayWindowSetViewController", "淡入淡出"),
};
}

PlayWindowSetViewController::PlayWindowSetViewController(QObject *parent)
    : KTBaseViewController(parent)
    , m_animationField(new PickerField(animationLabels(), 0, this))
{
    connect(m_animationField, &PickerField::rowSelected, this, &PlayWindowSetViewController::chooseAnimation);
    connect(m_animationField, &PickerField::applied, this, &PlayWindowSetViewController::chooseAnimation);
}

QStringList PlayWindowSetViewController::animationLabels()
{
    QStringList out;
    for (const char *label : kAnimationLabels)
        out << QCoreApplication::translate("PlayWindowSetViewController", label);
    return out;
}

void PlayWindowSetViewController::setField(QString &field, const QString &text)
{
    if (field == text)
        return;
    field = text;
    Q_EMIT fieldsChanged();
}

void PlayWindowSetViewController::setWeizhiX(const QString &text) { setField(m_weizhiX, text); }
void PlayWindowSetViewController::setWeizhiY(const QString &text) { setField(m_weizhiY, text); }
void PlayWindowSetViewController::setDaxiaoX(const QString &text) { setField(m_daxiaoX, text); }
void PlayWindowSetViewController::setDaxiaoY(const QString &text) { setField(m_daxiaoY, text); }
void PlayWindowSetViewController::setQiehuanjiange(const QString &text) { setField(m_qiehuanjiange, text); }

void PlayWindowSetViewController::viewDidLoad()
{
    m_isFullScreen = QStringLiteral("02");
    m_isUpTop = QStringLiteral("02");
    m_animationHex = QStringLiteral("0000");
    Q_EMIT codesChanged();
    configureBarbuttonItemStyle(0, QString(), [this] { sendSetWindowString(); });
    retranslate();
    QVmethodLib::getWindowinitializeInfoWithWindowID(CommonManager::sharedManager().currentWindowID);
    context().notices().subscribe(this, QLatin1String(Catalogue::kWindowInfoReply.notice),
                                  [this](const QVariant &object) { didReceiveWindowInfoNotice(object.toString()); });
}

void PlayWindowSetViewController::retranslate()
{
    setTitle(QCoreApplication::translate("PlayWindowSetViewController", "视频窗体设定"));
    setRightBarButtonTitle(QCoreApplication::translate("PlayWindowSetViewController", "完成"));
    m_animationField->retranslateItems(animationLabels());
    if (m_unknownEffect >= 0)
        showUnknownEffect(m_unknownEffect);
}

void PlayWindowSetViewController::showUnknownEffect(int code)
{
    m_unknownEffect = code;
    m_animationField->setText(
        QCoreApplication::translate("PlayWindowSetViewController", "未知效果 (%1)").arg(code));
}

void PlayWindowSetViewController::viewWillAppear()
{
    setNavigationBarHidden(false);
}

void PlayWindowSetViewController::chooseAnimation(int row)
{
    if (row < 0 || row >= m_animationField->count())
        return;
    m_unknownEffect = -1;
    m_animationField->setText(m_animationField->items().at(row));
    m_animationHex = HexCodec::TenToHex(row);
    Q_EMIT codesChanged();
}

void PlayWindowSetViewController::didSelectedCheckBox(int code, bool checked)
{
    const QString value = checked ? QStringLiteral("01") : QStringLiteral("02");
    if (code == FullScreenBox)
        m_isFullScreen = value;
    else if (code == UpTopBox)
        m_isUpTop = value;
    else
        return;
    Q_EMIT codesChanged();
}

void PlayWindowSetViewController::didReceiveWindowInfoNotice(const QString &replyHex)
{
    const auto info = WindowCommands::getPlayWindowInitInfoWithModelNotice(replyHex);
    if (!info)
        return;
    // Negative positions come as their number with the sign, like "-5".
    m_weizhiX = info->value(QStringLiteral("XLong"));
    m_weizhiY = info->value(QStringLiteral("YLong"));
    m_daxiaoX = info->value(QStringLiteral("WLong"));
    m_daxiaoY = info->value(QStringLiteral("HLong"));
    m_qiehuanjiange = info->value(QStringLiteral("Changejiange"));
    Q_EMIT fieldsChanged();

    const int code = info->value(QStringLiteral("ChangeType")).toInt();
    if (code < m_animationField->count()) {
        m_animationField->selectRow(code);
        chooseAnimation(code);
    } else {
        // An effect this client has no name for: shown by its number and
        // written back unchanged, so "完成" does not replace it.
        showUnknownEffect(code);
        m_animationHex = HexCodec::TenToHex(code);
        Q_EMIT codesChanged();
    }
}

bool PlayWindowSetViewController::sendSetWindowString()
{
    const CommonManager &cm = CommonManager::sharedManager();
    // Without a server and window the frame would go nowhere; "设置成功" would be untrue.
    if (cm.currentSelectDev.deviceIp.isEmpty() || cm.currentWindowID.size() != 2) {
        popups().showError(QCoreApplication::translate("PlayWindowSetViewController", "请选择需要设定的设备"));
        return false;
    }
    const QString x = HexCodec::returnReplaceNull(m_weizhiX), y = HexCodec::returnReplaceNull(m_weizhiY),
                  w = HexCodec::returnReplaceNull(m_daxiaoX), h = HexCodec::returnReplaceNull(m_daxiaoY);
    const qint64 interval = WindowCommands::windowGeometryValue(m_qiehuanjiange);
    // The request has no form for a position left of or above the screen.
    if (WindowCommands::windowGeometryValue(x) < 0 || WindowCommands::windowGeometryValue(y) < 0) {
        popups().showError(QCoreApplication::translate("PlayWindowSetViewController", "窗口位置不能为负数"));
        return false;
    }
    for (const qint64 v : {WindowCommands::windowGeometryValue(x), WindowCommands::windowGeometryValue(y),
                           WindowCommands::windowGeometryValue(w), WindowCommands::windowGeometryValue(h), interval}) {
        if (v < 0 || v > 0xffff) {
            popups().showError(QCoreApplication::translate("PlayWindowSetViewController", "数值须在0到65535之间"));
            return false;
        }
    }
    const QVariantMap parameters{
        {QStringLiteral("windowID"), HexCodec::returnReplaceNull(cm.currentWindowID)},
        {QStringLiteral("IsFullScreen"), m_isFullScreen},
        {QStringLiteral("IsUpTop"), m_isUpTop},
        {QStringLiteral("weizhiX"), x},
        {QStringLiteral("weizhiY"), y},
        {QStringLiteral("daxiaoX"), w},
        {QStringLiteral("daxiaoY"), h},
        {QStringLiteral("animationHex"), m_animationHex},
        {QStringLiteral("qiehuanjiangeHex"), HexCodec::TenToHex(interval)},
    };
    QVmethodLib::sendSetWindowStringWithParameters(parameters);
    popups().showSuccess(QCoreApplication::translate("PlayWindowSetViewController", "设置成功"));
    return true;
}
