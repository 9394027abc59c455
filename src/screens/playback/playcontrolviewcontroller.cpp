#include "screens/playback/playcontrolviewcontroller.h"

#include "core/appcontext.h"
#include "net/qvmethodlib.h"
#include "net/requestsender.h"
#include "protocol/catalogue.h"
#include "protocol/frame.h"
#include "protocol/hexcodec.h"
#include "protocol/playlistcommands.h"
#include "screens/playback/devicesourceviewcontroller.h"
#include "session/commonmanager.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>

namespace {
const QString kChecked = QStringLiteral("checked");
const QString kYes = QStringLiteral("YES");
const QString kNo = QStringLiteral("NO");

// What a mode shows on its button, and the pop-up once it is chosen.
constexpr const char *kModelTitles[] = {
    QT_TRANSLATE_NOOP("PlayControlViewController", "循环播放"),
    QT_TRANSLATE_NOOP("PlayControlViewController", "随机播放"),
    QT_TRANSLATE_NOOP("PlayControlViewController", "顺序播放"),
    QT_TRANSLATE_NOOP("PlayControlViewController", "单曲循环"),
};
constexpr const char *kModelPopups[] = {
    QT_TRANSLATE_NOOP("PlayControlViewController", "目前播放模式为:循环播放"),
    QT_TRANSLATE_NOOP("PlayControlViewController", "目前播放模式为:随机播放"),
    QT_TRANSLATE_NOOP("PlayControlViewController", "目前播放模式为:顺序播放"),
    QT_TRANSLATE_NOOP("PlayControlViewController", "目前播放模式为:单曲循环"),
};

// The order each play button's tag sends.
QString orderForTag(int tag)
{
    switch (tag) {
    case PlayControlViewController::ProceTag: return QStringLiteral("01");
    case PlayControlViewController::PlayTag: return QStringLiteral("00");
    case PlayControlViewController::ZantingTag: return QStringLiteral("02");
    case PlayControlViewController::NextTag: return QStringLiteral("04");
    case PlayControlViewController::StopTag: return QStringLiteral("03");
    }
    return {};
}
}

PlayControlViewController::PlayControlViewController(QObject *parent)
    : KTBaseTableViewController(parent)
    , m_rowModel(new RowListModel({QStringLiteral("number"), QStringLiteral("fileName"), kChecked,
                                   QStringLiteral("playing")},
                                  QString(), this))
{
    connect(this, &KTBaseTableViewController::dataSourceChanged, this, &PlayControlViewController::rowsChanged);
    connect(this, &PlayControlViewController::rowsChanged, m_rowModel, [this] { m_rowModel->setRows(rows()); });
}

QString PlayControlViewController::windowId() const
{
    return CommonManager::sharedManager().currentWindowID;
}

QVariantList PlayControlViewController::rows() const
{
    QVariantList out;
    const QVariantList entries = dataSource();
    const int playing = currentPlayIndex();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QVariantMap entry = entries.at(i).toMap();
        out << QVariantMap{
            {QStringLiteral("number"), QString::number(i + 1)},
            {QStringLiteral("fileName"),
             PlayListCommands::fileNameOfPath(entry.value(QStringLiteral("filesContent")).toString())},
            {kChecked, entry.value(kChecked).toString() == kYes},
            {QStringLiteral("playing"), i == playing},
        };
    }
    return out;
}

int PlayControlViewController::currentPlayIndex() const
{
    const qint64 index = CommonManager::sharedManager().currentSelectDev.currentPlayIndex;
    return index >= 0 && index <= INT_MAX ? int(index) : -1;
}

QString PlayControlViewController::playModelTitle() const
{
    return QCoreApplication::translate("PlayControlViewController", kModelTitles[m_playModel]);
}

void PlayControlViewController::viewDidLoad()
{
    configureBarbuttonItemStyle(0, QString(), [this] { clickedBarButtonItemActionWithTag(RefreshBarButton); });
    retranslate();
    NoticeCenter &notices = context().notices();
    notices.subscribe(this, QLatin1String(Catalogue::kPlayListReply.notice),
                      [this](const QVariant &o) { didReceiveVedioPlayInfoNotice(o.toString()); });
    notices.subscribe(this, QLatin1String(Catalogue::kPlayStateReply.notice),
                      [this](const QVariant &o) { didReceivePlayListOrderNotice(o.toString()); });
    notices.subscribe(this, QLatin1String(Catalogue::kPlayListCountReply.notice),
                      [this](const QVariant &o) { didReceiveVedioListNoInfoNotice(o.toString()); });
}

void PlayControlViewController::retranslate()
{
    setTitle(QCoreApplication::translate("PlayControlViewController", "视频播放控制"));
    setRightBarButtonTitle(QCoreApplication::translate("PlayControlViewController", "刷新"));
    Q_EMIT playModelChanged(); // its title is in words
}

void PlayControlViewController::viewWillAppear()
{
    setNavigationBarHidden(false);
    reloadList();
    // The mode byte of the first window record; other values keep the state.
    bool ok = false;
    const int mode = CommonManager::sharedManager().currentSelectDev.deviceInfo2.mid(2, 2).toInt(&ok, 16);
    if (ok && mode >= LoopModel && mode <= SingleModel && mode != m_playModel) {
        m_playModel = mode;
        Q_EMIT playModelChanged();
    }
}

void PlayControlViewController::reloadList()
{
    m_loading.clear();
    setDataSource({});
    popups().showProgress(QCoreApplication::translate("PlayControlViewController", "文件列表获取中,请稍后!!!"));
    getTimePlayInitializeInfo();
}

void PlayControlViewController::getTimePlayInitializeInfo()
{
    QVmethodLib::getPlayControlListInfoWithWindowID(windowId());
}

void PlayControlViewController::getVedioSiglePlayWithVedioIndexHex(const QString &indexHex)
{
    QVmethodLib::getVedioSiglePlayWithVedioIndexHex(indexHex, windowId());
}

void PlayControlViewController::sendFielsToListWithVedioIndexHex(const QString &indexHex, const QString &updateState)
{
    QVmethodLib::sendFielsToListWithVedioIndexHex(indexHex, updateState, windowId());
}

void PlayControlViewController::getPlayControlActionWithOrder(const QString &orderId)
{
    QVmethodLib::sendPlayWithWindowID(windowId(), orderId);
}

void PlayControlViewController::getPlayControlActionWithOrder2(const QString &modelId)
{
    QVmethodLib::sendChangePlayModelWithWindowID(windowId(), modelId);
}

void PlayControlViewController::didReceiveVedioPlayInfoNotice(const QString &replyHex)
{
    // An entry whose byte count points past the end is dropped; when it
    // is the last, it still ends the list.
    if (const auto entry = PlayListCommands::getPlayControlListInfoWithModelNotice(replyHex)) {
        const QString volume = entry->value(QStringLiteral("vedioYinliang"));
        setVolume(volume.toInt(), volume);
        m_loading << QVariantMap{
            {QStringLiteral("vedioYinliang"), volume},
            {QStringLiteral("vedioWeizhi"), entry->value(QStringLiteral("vedioWeizhi"))},
            {QStringLiteral("filesContent"), entry->value(QStringLiteral("filesContent"))},
            {kChecked, entry->value(QStringLiteral("isEntry")).toLongLong() != 0 ? kYes : kNo},
        };
    }
    if (!PlayListCommands::isLastOfSequence(replyHex))
        return;
    const QVariantList entries = m_loading;
    m_loading.clear();
    setDataSource(entries);
    popups().dismissProgress();
    highlightCurrent(true);
}

void PlayControlViewController::didReceiveVedioListNoInfoNotice(const QString &)
{
    m_loading.clear();
    setDataSource({});
    popups().dismissProgress();
}

void PlayControlViewController::didReceivePlayListOrderNotice(const QString &replyHex)
{
    const auto state = QVmethodLib::getPlayControlIndexInfoWithModelNotice(replyHex);
    if (!state || state->isEmpty())
        return; // another server's, or cut short
    if (state->value(QStringLiteral("windowID")).compare(windowId(), Qt::CaseInsensitive) != 0)
        return;
    setCurrentPlayIndex(state->value(QStringLiteral("thePlayVedio")).toLongLong());
    highlightCurrent(false);
}

void PlayControlViewController::setCurrentPlayIndex(qint64 index)
{
    qint64 &current = CommonManager::sharedManager().currentSelectDev.currentPlayIndex;
    if (current == index)
        return;
    current = index;
    Q_EMIT currentPlayIndexChanged();
    Q_EMIT rowsChanged();
}

void PlayControlViewController::highlightCurrent(bool scroll)
{
    const int index = currentPlayIndex();
    if (index >= 0 && index < dataSource().size())
        Q_EMIT rowHighlighted(index, scroll);
}

void PlayControlViewController::setChecked(int row, bool checked)
{
    QVariantList entries = dataSource();
    QVariantMap entry = entries.at(row).toMap();
    entry.insert(kChecked, checked ? kYes : kNo);
    entries[row] = entry;
    setDataSource(entries);
}

void PlayControlViewController::didSelectRow(int row)
{
    const QVariantList entries = dataSource();
    if (row < 0 || row >= entries.size())
        return;
    setCurrentPlayIndex(row);
    getVedioSiglePlayWithVedioIndexHex(HexCodec::TenToHex(row));
    if (entries.at(row).toMap().value(kChecked).toString() != kYes) {
        setChecked(row, true);
        sendFielsToListWithVedioIndexHex(HexCodec::TenToHex(row), QStringLiteral("01"));
    }
    Q_EMIT rowHighlighted(row, false);
}

void PlayControlViewController::clickedCellButtonWith(int action, int row)
{
    if ((action != CheckAction && action != UncheckAction) || row < 0 || row >= dataSource().size())
        return;
    const bool checked = action == CheckAction;
    setChecked(row, checked);
    sendFielsToListWithVedioIndexHex(HexCodec::TenToHex(row), checked ? QStringLiteral("01") : QStringLiteral("00"));
}

void PlayControlViewController::allSelect(bool on)
{
    if (m_allSelected != on) {
        m_allSelected = on;
        Q_EMIT allSelectedChanged();
    }
    QVariantList entries = dataSource();
    for (QVariant &v : entries) {
        QVariantMap entry = v.toMap();
        entry.insert(kChecked, on ? kYes : kNo);
        v = entry;
    }
    setDataSource(entries);
    for (qsizetype i = 0; i < entries.size(); ++i)
        sendFielsToListWithVedioIndexHex(HexCodec::TenToHex(i), on ? QStringLiteral("01") : QStringLiteral("00"));
}

void PlayControlViewController::clickedBarButtonItemActionWithTag(int code)
{
    if (code == RefreshBarButton)
        reloadList();
    else if (code == AllSelectBarButton)
        allSelect(!m_allSelected);
}

void PlayControlViewController::controlButtonAction(int tag)
{
    const QString order = orderForTag(tag);
    if (!order.isEmpty()) {
        getPlayControlActionWithOrder(order);
        return;
    }
    switch (tag) {
    case ControlModelTag: changePlayModel(); break;
    case DeleteTag: askClearList(); break;
    case YinliangTag: setVolumePanelVisible(true); break;
    case FileTag: openServerFiles(); break;
    case MoreTag1:
    case MoreTag2:
        m_secondButtonRow = !m_secondButtonRow;
        Q_EMIT secondButtonRowChanged();
        break;
    default: break;
    }
}

void PlayControlViewController::changePlayModel()
{
    const int next = (m_playModel + 1) % 4;
    getPlayControlActionWithOrder2(HexCodec::TenToHexForTwo(next));
    m_playModel = next;
    Q_EMIT playModelChanged();
    popups().showSuccess(QCoreApplication::translate("PlayControlViewController", kModelPopups[next]));
}

void PlayControlViewController::setVolume(int value, const QString &text)
{
    const int bounded = qBound(0, value, kMaxVolume);
    if (bounded == m_volume && text == m_volumeText)
        return;
    m_volume = bounded;
    m_volumeText = text;
    Q_EMIT volumeChanged();
}

void PlayControlViewController::sliderValueChange(double value)
{
    const QString text = QString::asprintf("%.f", qBound(0.0, value, double(kMaxVolume)));
    setVolume(text.toInt(), text);
    RequestSender::shared().send(PlayListCommands::windowVolume(windowId(), text.toInt()));
}

void PlayControlViewController::setVolumePanelVisible(bool visible)
{
    if (m_volumePanelVisible == visible)
        return;
    m_volumePanelVisible = visible;
    Q_EMIT volumePanelVisibleChanged();
}

void PlayControlViewController::closeVolumePanel()
{
    setVolumePanelVisible(false);
}

void PlayControlViewController::deleteRow(int row)
{
    if (row < 0 || row >= dataSource().size())
        return;
    m_orderIndex = row;
    const QString entryPath = dataSource().at(row).toMap().value(QStringLiteral("filesContent")).toString();
    actionSheet(QCoreApplication::translate("PlayControlViewController", "请确认是否删除所选视频文件?"),
                {QCoreApplication::translate("PlayControlViewController", "确定"),
                 QCoreApplication::translate("PlayControlViewController", "同时删除本地文件"),
                 QCoreApplication::translate("PlayControlViewController", "取消")},
                [this, row, entryPath](int index) {
                    // The list may have been loaded again while the sheet was up.
                    const QVariantList entries = dataSource();
                    if (row >= entries.size() ||
                        entries.at(row).toMap().value(QStringLiteral("filesContent")).toString() != entryPath)
                        return;
                    if (index == 0)
                        deletePlayItem(row, false);
                    else if (index == 1)
                        deletePlayItem(row, true);
                });
}

void PlayControlViewController::deletePlayItem(int row, bool alsoDeleteFile)
{
    RequestSender::shared().send(PlayListCommands::deleteEntry(windowId(), row, alsoDeleteFile));
    QVariantList entries = dataSource();
    entries.removeAt(row);
    setDataSource(entries);
    reloadData();
}

void PlayControlViewController::askClearList()
{
    alert(QCoreApplication::translate("PlayControlViewController", "提示"),
          QCoreApplication::translate("PlayControlViewController", "请确认是否清除列表中所有的视频？"),
          {QCoreApplication::translate("PlayControlViewController", "确定"),
           QCoreApplication::translate("PlayControlViewController", "取消")},
          [this](int index) {
              if (index == 0)
                  sendDeletePlayListWithOrder();
          });
}

void PlayControlViewController::sendDeletePlayListWithOrder()
{
    RequestSender::shared().send(PlayListCommands::clearPlayList(windowId()));
    m_loading.clear();
    setDataSource({});
    reloadData();
}

void PlayControlViewController::openServerFiles()
{
    auto *files = new DeviceSourceViewController;
    files->setWindowID(windowId());
    files->setAddFilesType(QStringLiteral("1"));
    pushNewViewController(files);
}
