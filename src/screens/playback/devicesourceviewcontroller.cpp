#include "screens/playback/devicesourceviewcontroller.h"

#include "core/appcontext.h"
#include "net/qvmethodlib.h"
#include "protocol/catalogue.h"
#include "protocol/playlistcommands.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>

namespace {
const QString kChecked = QStringLiteral("checked");
const QString kYes = QStringLiteral("YES");
const QString kNo = QStringLiteral("NO");

}

DeviceSourceViewController::DeviceSourceViewController(QObject *parent)
    : KTBaseTableViewController(parent)
    , m_rowModel(new RowListModel({QStringLiteral("number"), QStringLiteral("fileName"), kChecked}, QString(), this))
{
    connect(this, &KTBaseTableViewController::dataSourceChanged, m_rowModel, [this] { m_rowModel->setRows(rows()); });
}

void DeviceSourceViewController::setWindowID(const QString &windowID)
{
    if (m_windowID == windowID)
        return;
    m_windowID = windowID;
    Q_EMIT windowIDChanged();
}

void DeviceSourceViewController::setAddFilesType(const QString &type)
{
    if (m_addFilesType == type)
        return;
    m_addFilesType = type;
    Q_EMIT addFilesTypeChanged();
}

QVariantList DeviceSourceViewController::rows() const
{
    QVariantList out;
    const QVariantList entries = dataSource();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QVariantMap entry = entries.at(i).toMap();
        out << QVariantMap{
            {QStringLiteral("number"), QString::number(i + 1)},
            {QStringLiteral("fileName"),
             PlayListCommands::fileNameOfPath(entry.value(QStringLiteral("filesContent")).toString())},
            {kChecked, entry.value(kChecked).toString() == kYes},
        };
    }
    return out;
}

QVariantList DeviceSourceViewController::chooseListArray() const
{
    QVariantList out;
    const QVariantList entries = dataSource();
    for (int row : m_chosen)
        out << entries.at(row);
    return out;
}

void DeviceSourceViewController::viewDidLoad()
{
    retranslate();
    updateBarButton();
    m_loading.clear();
    m_chosen.clear();
    setDataSource({});
    popups().showProgress(QCoreApplication::translate("DeviceSourceViewController", "文件列表获取中,请稍后!!!"));
    context().notices().subscribe(this, QLatin1String(Catalogue::kDeviceFilesReply.notice),
                                  [this](const QVariant &o) { didReceiveDeviceFilesInfoNotice(o.toString()); });
    QVmethodLib::getDeviceFilesInfo();
}

void DeviceSourceViewController::retranslate()
{
    setTitle(QCoreApplication::translate("DeviceSourceViewController", "添加视频文件"));
    if (hasRightBarButton())
        updateBarButton();
}

void DeviceSourceViewController::viewWillAppear()
{
    setNavigationBarHidden(false);
}

void DeviceSourceViewController::updateBarButton()
{
    const QString title = m_allSelected ? QCoreApplication::translate("DeviceSourceViewController", "取消全选")
                                        : QCoreApplication::translate("DeviceSourceViewController", "全选");
    configureBarbuttonItemStyle(0, title, [this] { allSelect(!m_allSelected); });
}

void DeviceSourceViewController::didReceiveDeviceFilesInfoNotice(const QString &replyHex)
{
    // A file whose byte count points past the end is dropped; when it is
    // the last, it still ends the list.
    if (auto entry = PlayListCommands::getDeviceFilesListInfoWithModelNotice(replyHex)) {
        entry->remove(QStringLiteral("isFinished"));
        QVariantMap map;
        for (auto it = entry->cbegin(); it != entry->cend(); ++it)
            map.insert(it.key(), it.value());
        m_loading << map;
    }
    if (!PlayListCommands::isLastOfSequence(replyHex))
        return;
    const QVariantList entries = m_loading;
    m_loading.clear();
    // A new list: rows chosen from an earlier one mean nothing in it.
    m_chosen.clear();
    Q_EMIT chosenChanged();
    setDataSource(entries);
    popups().dismissProgress();
}

void DeviceSourceViewController::setRowChecked(int row, bool checked)
{
    QVariantList entries = dataSource();
    QVariantMap entry = entries.at(row).toMap();
    entry.insert(kChecked, checked ? kYes : kNo);
    entries[row] = entry;
    setDataSource(entries);
}

void DeviceSourceViewController::didSelectRow(int row)
{
    if (row < 0 || row >= dataSource().size())
        return;
    const bool nowChecked = dataSource().at(row).toMap().value(kChecked).toString() != kYes;
    setRowChecked(row, nowChecked);
    if (nowChecked)
        m_chosen.append(row);
    else
        m_chosen.removeAll(row);
    Q_EMIT chosenChanged();
}

void DeviceSourceViewController::allSelect(bool on)
{
    if (m_allSelected != on) {
        m_allSelected = on;
        Q_EMIT allSelectedChanged();
        updateBarButton();
    }
    QVariantList entries = dataSource();
    for (QVariant &v : entries) {
        QVariantMap entry = v.toMap();
        entry.insert(kChecked, on ? kYes : kNo);
        v = entry;
    }
    if (on) {
        for (int row = 0; row < entries.size(); ++row)
            if (!m_chosen.contains(row))
                m_chosen.append(row);
    } else {
        m_chosen.clear();
    }
    setDataSource(entries);
    Q_EMIT chosenChanged();
}

void DeviceSourceViewController::confirmAction()
{
    const QVariantList chosen = chooseListArray();
    if (m_addFilesType == QLatin1String("1")) {
        QVmethodLib::addPlayFiletoPlayListWithChooseListArray(chosen, m_windowID);
    } else if (!chosen.isEmpty()) {
        context().notices().post(QLatin1String(Catalogue::kTimePlayListFilesChooseNotice), chosen);
    } else {
        popups().showError(QCoreApplication::translate("DeviceSourceViewController", "请选择文件"));
    }
    goBackAction();
}
