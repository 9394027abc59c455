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

void PlayWindowSetViewController::setWeizhiX(const QString &text) { setField(m_x, text); }
void PlayWindowSetViewController::setWeizhiY(const QString &text) { setField(m_y, text); }
void PlayWindowSetViewController::setDaxiaoX(const QString &text) { setField(m_width, text); }
void PlayWindowSetViewController::setDaxiaoY(const QString &text) { setField(m_height, text); }
void PlayWindowSetViewController::setQiehuanjiange(const QString &text) { setField(m_interval, text); }

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
    const auto record = WindowCommands::WindowRecord::fromReply(*info, QString());
    // Negative positions come as their number with the sign, like "-5".
    m_x = record.x;
    m_y = record.y;
    m_width = record.width;
    m_height = record.height;
    m_interval = QString::number(record.intervalNumber());
    Q_EMIT fieldsChanged();

    const int code = int(record.effectNumber());
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
    const QString x = HexCodec::returnReplaceNull(m_x), y = HexCodec::returnReplaceNull(m_y),
                  w = HexCodec::returnReplaceNull(m_width), h = HexCodec::returnReplaceNull(m_height);
    const qint64 interval = WindowCommands::windowGeometryValue(m_interval);
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
    WindowCommands::WindowRecord record;
    record.windowId = HexCodec::returnReplaceNull(cm.currentWindowID);
    record.fullScreen = m_isFullScreen;
    record.onTop = m_isUpTop;
    record.x = x;
    record.y = y;
    record.width = w;
    record.height = h;
    record.effect = m_animationHex;
    record.interval = HexCodec::TenToHex(interval);
    QVmethodLib::sendSetWindowStringWithParameters(record.parameters());
    popups().showSuccess(QCoreApplication::translate("PlayWindowSetViewController", "设置成功"));
    return true;
}
