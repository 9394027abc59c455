#include "screens/playback/playselectviewcontroller.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "net/qvmethodlib.h"
#include "protocol/catalogue.h"
#include "protocol/timedplaycommands.h"
#include "screens/playback/devicesourceviewcontroller.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>

namespace {
const QString kChecked = QStringLiteral("checked");
const QString kYes = QStringLiteral("YES");
const QString kNo = QStringLiteral("NO");
const QString kContentHex = QStringLiteral("filesContentHex");
const QString kLenHex = QStringLiteral("filesLenHex");

// A file is its name as the server gave it.
bool sameFile(const QVariantMap &a, const QVariantMap &b)
{
    return a.value(kContentHex).toString().compare(b.value(kContentHex).toString(), Qt::CaseInsensitive) == 0 &&
           a.value(kLenHex).toString().compare(b.value(kLenHex).toString(), Qt::CaseInsensitive) == 0;
}

QVariantMap withChecked(QVariantMap entry, bool checked)
{
    entry.insert(kChecked, checked ? kYes : kNo);
    return entry;
}
} // namespace

PlaySelectViewController::PlaySelectViewController(QObject *parent)
    : KTBaseTableViewController(parent)
    , m_rowModel(new RowListModel({QStringLiteral("number"), QStringLiteral("fileName"), kChecked}, QString(), this))
{
    connect(this, &KTBaseTableViewController::dataSourceChanged, m_rowModel, [this] { m_rowModel->setRows(rows()); });
}

void PlaySelectViewController::viewDidLoad()
{
    m_getPlayListArray.clear();
    m_chooseListArray.clear();
    configureBarbuttonItemStyle(0, QString(), [this] { doneAction(); });
    retranslate();
    QVmethodLib::getTimePlayDetailInfoWithWindowID(m_windowID, m_projectIDHex);
    NoticeCenter &notices = context().notices();
    notices.subscribe(this, QLatin1String(Catalogue::kTimePlayFilesReply.notice),
                      [this](const QVariant &object) { didReceiveTimePlayListFilesInfoNotice(object.toString()); });
    notices.subscribe(this, QLatin1String(Catalogue::kTimePlayListFilesChooseNotice),
                      [this](const QVariant &object) { didReceiveTimePlayListFilesChooseNotice(object); });
}

void PlaySelectViewController::retranslate()
{
    setTitle(QCoreApplication::translate("PlaySelectViewController", "定时播放方案设定"));
    setRightBarButtonTitle(QCoreApplication::translate("PlaySelectViewController", "完成"));
}

QVariantList PlaySelectViewController::rows() const
{
    QVariantList out;
    const QVariantList entries = dataSource();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QVariantMap entry = entries.at(i).toMap();
        const QString path = entry.value(QStringLiteral("filesContent")).toString();
        out << QVariantMap{
            {QStringLiteral("number"), QString::number(i + 1)},
            {QStringLiteral("fileName"), path.mid(path.lastIndexOf(QLatin1Char('/')) + 1)},
            {QStringLiteral("checked"), entry.value(kChecked).toString() == kYes},
        };
    }
    return out;
}

void PlaySelectViewController::didReceiveTimePlayListFilesInfoNotice(const QString &replyHex)
{
    // An unreadable reply is left out but still ends its sequence.
    if (const auto entry = TimedPlayCommands::getTimePlayListFilesInfoWithModelNotice(replyHex)) {
        QVariantMap map;
        for (auto it = entry->cbegin(); it != entry->cend(); ++it)
            map.insert(it.key(), it.value());
        m_getPlayListArray.append(map);
    } else {
        qCWarning(lcScreens) << "unreadable timed-play file reply" << replyHex;
    }
    if (TimedPlayCommands::isTimePlayReplyFollowed(replyHex))
        return;
    // Files chosen on the server files screen meanwhile stay on show: a
    // late answer must not hide what "完成" would send.
    if (!m_filesChosen)
        setDataSource(m_getPlayListArray);
    popups().dismissProgress();
}

void PlaySelectViewController::didReceiveTimePlayListFilesChooseNotice(const QVariant &chosen)
{
    QVariantList entries;
    for (const QVariant &v : chosen.toList()) {
        const QVariantMap entry = withChecked(v.toMap(), true);
        bool seen = false;
        for (const QVariant &e : std::as_const(entries))
            seen = seen || sameFile(e.toMap(), entry);
        if (!seen)
            entries << entry;
    }
    m_filesChosen = true;
    m_chooseListArray = entries;
    setDataSource(entries);
    setAllSelected(false);
    Q_EMIT chosenChanged();
}

bool PlaySelectViewController::isChosen(const QVariantMap &entry) const
{
    for (const QVariant &v : m_chooseListArray)
        if (sameFile(v.toMap(), entry))
            return true;
    return false;
}

void PlaySelectViewController::didSelectRow(int row)
{
    QVariantList entries = dataSource();
    if (row < 0 || row >= entries.size())
        return;
    const QVariantMap entry = entries.at(row).toMap();
    const bool tick = entry.value(kChecked).toString() != kYes;
    entries[row] = withChecked(entry, tick);
    if (tick) {
        if (!isChosen(entry))
            m_chooseListArray.append(withChecked(entry, true));
    } else {
        m_chooseListArray.removeIf([&](const QVariant &v) { return sameFile(v.toMap(), entry); });
    }
    setDataSource(entries);
    Q_EMIT chosenChanged();
}

void PlaySelectViewController::allSelect(bool on)
{
    setAllSelected(on);
    QVariantList entries = dataSource();
    for (QVariant &v : entries) {
        const QVariantMap entry = withChecked(v.toMap(), on);
        v = entry;
        if (on && !isChosen(entry))
            m_chooseListArray.append(entry);
    }
    if (!on)
        m_chooseListArray.clear();
    setDataSource(entries);
    Q_EMIT chosenChanged();
}

void PlaySelectViewController::setAllSelected(bool on)
{
    if (m_allSelected == on)
        return;
    m_allSelected = on;
    Q_EMIT allSelectedChanged();
}

void PlaySelectViewController::clickedCellButtonWith(int action, int value)
{
    if (action == CheckBoxAction) {
        allSelect(value != 0);
    } else if (action == ButtonAction) {
        if (value == AddButton)
            addFilesAction();
        else if (value == DeleteButton)
            deleteAction();
    }
}

void PlaySelectViewController::addFilesAction()
{
    auto *files = new DeviceSourceViewController;
    files->setWindowID(m_windowID);
    // "2": the chosen files come back here instead of going on a play list.
    files->setAddFilesType(QStringLiteral("2"));
    pushNewViewController(files);
}

void PlaySelectViewController::deleteAction()
{
    if (m_chooseListArray.isEmpty()) {
        popups().showError(QCoreApplication::translate("PlaySelectViewController", "请选择需要删除的文件"));
        return;
    }
    QVariantList entries = dataSource();
    entries.removeIf([this](const QVariant &v) { return isChosen(v.toMap()); });
    m_chooseListArray.clear();
    setAllSelected(false);
    setDataSource(entries);
    Q_EMIT chosenChanged();
}

void PlaySelectViewController::doneAction()
{
    if (m_chooseListArray.isEmpty()) {
        popups().showError(QCoreApplication::translate("PlaySelectViewController", "请选择视频文件"));
        return;
    }
    QVmethodLib::sendTimePlayParam(m_timePlayParam);
    QVmethodLib::addPlayFiletoTimePlayListWithChooseListArray(m_chooseListArray);
    if (KTBaseNavigationController *nav = navigationController())
        nav->popToRoot();
}
