#include "screens/timedplay/addtimeplayviewcontroller.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "net/qvmethodlib.h"
#include "protocol/catalogue.h"
#include "protocol/hexcodec.h"
#include "protocol/timedplaycommands.h"
#include "screens/timedplay/timingplayviewcontroller.h"
#include "session/commonmanager.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>
#include <QSet>

namespace {
const QString kChecked = QStringLiteral("checked");
const QString kYes = QStringLiteral("YES");
const QString kNo = QStringLiteral("NO");

// A scheme is its window and its id; two records of one scheme are one choice.
bool sameScheme(const QVariantMap &a, const QVariantMap &b)
{
    const auto first = TimedPlayCommands::SchemeRecord::fromScheme(a);
    const auto second = TimedPlayCommands::SchemeRecord::fromScheme(b);
    return first.id.compare(second.id, Qt::CaseInsensitive) == 0 &&
           first.windowId.compare(second.windowId, Qt::CaseInsensitive) == 0;
}
} // namespace

AddTimePlayViewController::AddTimePlayViewController(QObject *parent)
    : KTBaseTableViewController(parent)
    , m_schemeModel(new RowListModel({QStringLiteral("projectName"), kChecked}, QString(), this))
{
    connect(this, &KTBaseTableViewController::dataSourceChanged, m_schemeModel, [this] {
        QVariantList rows;
        for (const QVariant &v : dataSource()) {
            const QVariantMap record = v.toMap();
            rows << QVariantMap{{QStringLiteral("projectName"), TimedPlayCommands::SchemeRecord::fromScheme(record).name},
                                {kChecked, record.value(kChecked).toString() == kYes}};
        }
        m_schemeModel->setRows(rows);
    });
}

void AddTimePlayViewController::viewDidLoad()
{
    retranslate();
    m_timePlayArray.clear();
    m_choosePlayArray.clear();
    context().notices().subscribe(this, QLatin1String(Catalogue::kTimePlayListReply.notice),
                                  [this](const QVariant &object) { didReceiveTimePlayListInfoNotice(object.toString()); });
}

void AddTimePlayViewController::retranslate()
{
    setTitle(QCoreApplication::translate("AddTimePlayViewController", "定时播放方案列表"));
}

void AddTimePlayViewController::viewWillAppear()
{
    m_timePlayArray.clear();
    requestList();
}

void AddTimePlayViewController::requestList()
{
    QVmethodLib::getTimePlayListInitializeInfoWithWindowID(CommonManager::sharedManager().currentWindowID);
}

void AddTimePlayViewController::clickedBarButtonItemActionWithTag(int tag)
{
    if (tag == RefreshTag) {
        m_timePlayArray.clear();
        popups().showProgress(QCoreApplication::translate("AddTimePlayViewController", "文件列表获取中,请稍后!!!"));
        requestList();
        return;
    }
    allSelect(!m_allSelected);
}

void AddTimePlayViewController::didReceiveTimePlayListInfoNotice(const QString &replyHex)
{
    // A reply that cannot be read is left out, but still ends its sequence:
    // the schemes before it are shown rather than waiting for more.
    if (const auto record = TimedPlayCommands::getReceiveTimePlayListInfoNotice(replyHex))
        m_timePlayArray.append(*record);
    else
        qCWarning(lcScreens) << "unreadable timed-play scheme reply" << replyHex;
    if (TimedPlayCommands::isTimePlayReplyFollowed(replyHex))
        return;
    // The rows are new records, all unticked: what was chosen before no
    // longer names a visible tick, so the choice starts over with them.
    m_choosePlayArray.clear();
    setAllSelected(false);
    setDataSource(m_timePlayArray);
    Q_EMIT chosenChanged();
    popups().dismissProgress();
}

void AddTimePlayViewController::setChecked(int row, bool checked)
{
    QVariantList rows = dataSource();
    QVariantMap record = rows.at(row).toMap();
    record.insert(kChecked, checked ? kYes : kNo);
    rows[row] = record;
    setDataSource(rows);
}

bool AddTimePlayViewController::isChosen(const QVariantMap &record) const
{
    for (const QVariant &v : m_choosePlayArray)
        if (sameScheme(v.toMap(), record))
            return true;
    return false;
}

void AddTimePlayViewController::choose(const QVariantMap &record)
{
    if (isChosen(record))
        return;
    QVariantMap chosen = record;
    chosen.insert(kChecked, kYes);
    m_choosePlayArray.append(chosen);
}

void AddTimePlayViewController::unchoose(const QVariantMap &record)
{
    m_choosePlayArray.removeIf([&](const QVariant &v) { return sameScheme(v.toMap(), record); });
}

void AddTimePlayViewController::didSelectRow(int row)
{
    if (row < 0 || row >= dataSource().size())
        return;
    const QVariantMap record = dataSource().at(row).toMap();
    const bool tick = record.value(kChecked).toString() != kYes;
    setChecked(row, tick);
    if (tick)
        choose(record);
    else
        unchoose(record);
    Q_EMIT chosenChanged();
}

void AddTimePlayViewController::allSelect(bool on)
{
    setAllSelected(on);
    QVariantList rows = dataSource();
    if (!on) {
        for (QVariant &v : rows) {
            QVariantMap record = v.toMap();
            record.insert(kChecked, kNo);
            v = record;
        }
        m_choosePlayArray.clear();
    } else {
        // The rows in view join the choice first, so that "修改方案" edits
        // the first scheme the user can see; the rest follow in list order,
        // so that every ticked row is also a chosen one.
        const int count = int(rows.size());
        const int first = qBound(0, m_firstVisible, count);
        const int last = m_visibleCount < 0 ? count : qBound(first, first + m_visibleCount, count);
        QList<int> order;
        for (int i = first; i < last; ++i)
            order << i;
        for (int i = 0; i < count; ++i)
            if (i < first || i >= last)
                order << i;
        for (int i : order) {
            QVariantMap record = rows.at(i).toMap();
            record.insert(kChecked, kYes);
            rows[i] = record;
            choose(record);
        }
    }
    setDataSource(rows);
    Q_EMIT chosenChanged();
}

void AddTimePlayViewController::setVisibleRows(int first, int count)
{
    m_firstVisible = qMax(0, first);
    m_visibleCount = qMax(0, count);
}

void AddTimePlayViewController::setAllSelected(bool on)
{
    if (m_allSelected == on)
        return;
    m_allSelected = on;
    Q_EMIT allSelectedChanged();
}

void AddTimePlayViewController::buttonAction(int tag)
{
    CommonManager &cm = CommonManager::sharedManager();
    switch (tag) {
    case DeleteTag: {
        if (m_choosePlayArray.isEmpty()) {
            popups().showError(QCoreApplication::translate("AddTimePlayViewController", "请选择需要删除的方案"));
            return;
        }
        // The deletion frame names a count but no scheme, so it is not sent;
        // the user is told rather than left thinking the schemes went.
        const QString frame =
            QVmethodLib::deleteSelectedPlayProjectWithProjectCount(m_choosePlayArray.size(), cm.currentWindowID);
        qCInfo(lcScreens) << "scheme deletion not sent (names no scheme):" << frame;
        popups().showError(QCoreApplication::translate("AddTimePlayViewController", "服务器不支持从客户端删除方案"));
        reloadData();
        return;
    }
    case ModifyTag: {
        if (m_choosePlayArray.isEmpty()) {
            popups().showError(QCoreApplication::translate("AddTimePlayViewController", "请选择需要修改的方案"));
            return;
        }
        cm.isAddTimeProject = true;
        QVariantMap chooseDict = m_choosePlayArray.first().toMap();
        chooseDict.insert(QStringLiteral("state"), QStringLiteral("1"));
        openSettings(chooseDict);
        return;
    }
    case AddTag: {
        // The next id after the listed ones; an id a listed scheme already
        // has would overwrite that scheme on the server, so it is skipped.
        QSet<qint64> taken;
        for (const QVariant &v : dataSource())
            taken.insert(TimePlay::hexNumber(TimedPlayCommands::SchemeRecord::fromScheme(v.toMap()).id));
        qint64 id = dataSource().size() + 1;
        while (id <= 0xff && taken.contains(id))
            ++id;
        if (id > 0xff) {
            popups().showError(QCoreApplication::translate("AddTimePlayViewController", "方案数量已达上限"));
            return;
        }
        cm.isAddTimeProject = false;
        openSettings({{QStringLiteral("state"), QStringLiteral("0")},
                      {QStringLiteral("projectIDHex"), HexCodec::TenToHexForTwo(id)}});
        return;
    }
    default:
        return;
    }
}

void AddTimePlayViewController::clickedCellButtonWith(int source, int tag)
{
    if (source == kFooterSource)
        buttonAction(tag);
    else
        allSelect(tag == 1);
}

void AddTimePlayViewController::openSettings(const QVariantMap &chooseDict)
{
    auto *settings = new TimingPlayViewController;
    settings->setWindowID(CommonManager::sharedManager().currentWindowID);
    settings->setChooseDict(chooseDict);
    pushNewViewController(settings);
}
