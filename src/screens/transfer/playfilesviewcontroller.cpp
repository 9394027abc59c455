#include "screens/transfer/playfilesviewcontroller.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "net/qvmethodlib.h"
#include "net/sendsocket.h"
#include "protocol/hexcodec.h"
#include "protocol/transfercommands.h"
#include "screens/transfer/commonhelper.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "ui/popupcenter.h"

#include <QCoreApplication>
#include <QDate>
#include <QTransform>
#include <QUrl>

namespace {
const QString kFilesType = QStringLiteral("filesType");
const QString kFilesName = QStringLiteral("filesName");
const QString kFilesSize = QStringLiteral("filesSize");
const QString kChecked = QStringLiteral("checked");
const QString kIsSendSucceed = QStringLiteral("isSendSucceed");
const QString kYes = QStringLiteral("YES");
const QString kNo = QStringLiteral("NO");
const QString kPictureType = QStringLiteral("01");
const QString kMovieType = QStringLiteral("03");

// An entry names the content by its length: the bytes stay in the file, or
// with the transfer while it runs.
QVariantMap makeEntry(const QString &type, const QString &name, qint64 size, const QString &succeed)
{
    return {{kFilesType, type}, {kFilesName, name}, {kFilesSize, size}, {kChecked, kNo}, {kIsSendSucceed, succeed}};
}

QString notSentText()
{
    return QCoreApplication::translate("PlayFilesViewController", "文件已被修改或删除，发送失败");
}

QString nameOf(const QVariant &entry)
{
    return entry.toMap().value(kFilesName).toString();
}

CommonManager &session()
{
    return CommonManager::sharedManager();
}
} // namespace

PlayFilesViewController::PlayFilesViewController()
    : m_rowModel(new RowListModel({kFilesName, kFilesType, QStringLiteral("typeImage"), kChecked,
                                   QStringLiteral("tickImage"), QStringLiteral("succeeded"), QStringLiteral("current"),
                                   QStringLiteral("progress"), QStringLiteral("sizeText")},
                                  kFilesName, this))
{
    connect(this, &PlayFilesViewController::rowsChanged, m_rowModel, [this] { m_rowModel->setRows(m_rows); });
    connect(this, &PlayFilesViewController::progressChanged, m_rowModel, [this] {
        if (!m_progressShown)
            return;
        const int row = m_rowModel->indexOf(QStringLiteral("current"), true);
        m_rowModel->updateRow(row, {{QStringLiteral("progress"), m_progress}, {QStringLiteral("sizeText"), m_progressText}});
    });
}

PlayFilesViewController::~PlayFilesViewController()
{
    if (m_contentTimer)
        context().scheduler().cancel(m_contentTimer);
}

// --- appearance -------------------------------------------------------------

void PlayFilesViewController::viewDidLoad()
{
    m_selectedType = false;
    m_choosePlayArray.clear();
    m_fileCurrentSize = 0;
    updateSelectAllButton();
    retranslate();
    context().notices().subscribe(this, QLatin1String(SendSocket::kFilesLengthNotice),
                                  [this](const QVariant &o) { didSendFilesLengthInfoNotice(o); });
    context().notices().subscribe(this, QLatin1String(SendSocket::kFilesDoneNotice),
                                  [this](const QVariant &o) { didSendFilesInfoDoneNotice(o); });
    context().notices().subscribe(this, QLatin1String(SendSocket::kFilesFailedNotice),
                                  [this](const QVariant &o) { didSendFilesFailedNotice(o); });
}

void PlayFilesViewController::retranslate()
{
    setTitle(QCoreApplication::translate("PlayFilesViewController", "视频文件传输"));
    if (hasRightBarButton())
        updateSelectAllButton();
}

void PlayFilesViewController::viewWillAppear()
{
    if (!dataSource().isEmpty())
        return;
    setDataSource(entriesFromHistory());
    rebuildRows();
}

void PlayFilesViewController::viewWillDisappear()
{
    backToCloseSendFiles();
}

// --- the bottom buttons -----------------------------------------------------

void PlayFilesViewController::sendButtonAction(int tag)
{
    if (tag == kCloseButtonTag) {
        deleteChosenFiles();
        return;
    }
    // From the announcement on: a second file inside the first one's
    // announced second would be written after the first's content.
    if (session().isFinishSendFiles || isSending()) {
        popups().showError(QCoreApplication::translate("PlayFilesViewController", "上个文件还未传输完成."));
        return;
    }
    actionSheet(QString(),
                {QCoreApplication::translate("PlayFilesViewController", "拍照"),
                 QCoreApplication::translate("PlayFilesViewController", "从手机相册选择"),
                 QCoreApplication::translate("PlayFilesViewController", "取消")},
                [this](int index) { chooseSource(index); });
}

void PlayFilesViewController::chooseSource(int index)
{
    MediaPicker &picker = MediaPicker::shared();
    switch (index) {
    case 0: {
        m_selectedType = true;
        if (!picker.isCameraAvailable()) {
            // Say so rather than open nothing.
            m_selectedType = false;
            popups().showError(QCoreApplication::translate("PlayFilesViewController", "这台设备没有可用的相机"));
            return;
        }
        const std::optional<QImage> picture = picker.takePicture();
        if (!picture) {
            imagePickerControllerDidCancel();
            return;
        }
        PickedMedia media;
        media.mediaType = QLatin1String(PickedMedia::kImage);
        media.originalImage = *picture;
        imagePickerController(media);
        return;
    }
    case 1:
        m_selectedType = false;
        Q_EMIT photoLibraryRequested();
        return;
    default:
        return;
    }
}

void PlayFilesViewController::didFinishPickingFile(const QString &pathOrUrl)
{
    const QUrl url(pathOrUrl);
    const QString path = url.isLocalFile() ? url.toLocalFile() : pathOrUrl;
    MediaPicker::shared().rememberPicked(path);
    Q_EMIT albumFolderChanged();
    imagePickerController(MediaPicker::mediaFromFile(path));
}

void PlayFilesViewController::imagePickerControllerDidCancel()
{
    qevaLog(lcScreens, QStringLiteral("no file picked"));
}

// --- preparing and starting a transfer --------------------------------------

void PlayFilesViewController::imagePickerController(const PickedMedia &info)
{
    // The dialog may have stayed open across another send.
    if (session().isFinishSendFiles || isSending()) {
        popups().showError(QCoreApplication::translate("PlayFilesViewController", "上个文件还未传输完成."));
        return;
    }
    const QString date = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    const int number = HexCodec::getRandomNumber(10000, 100000);
    FilesContent content;
    QString name;
    QString type;
    if (info.mediaType == QLatin1String(PickedMedia::kMovie)) {
        // Its size and identity only: the file is read as it is sent.
        QString why;
        const std::optional<FilesContent> file = FilesContent::fromFile(info.mediaURL, &why);
        if (!file) {
            qevaLog(lcScreens, QStringLiteral("cannot send %1: %2").arg(info.mediaURL, why));
            popups().showError(QCoreApplication::translate("PlayFilesViewController", "无法读取所选的文件"));
            return;
        }
        content = *file;
        name = QStringLiteral("%1%2.mov").arg(date).arg(number);
        type = kMovieType;
    } else if (info.mediaType == QLatin1String(PickedMedia::kImage)) {
        int rotation = 0;
        if (m_selectedType) {
            m_selectedType = false;
            rotation = 3;
        }
        content = FilesContent::fromBytes(MediaPicker::jpegRepresentation(image(info.originalImage, rotation), 1.0));
        name = QStringLiteral("%1%2.jpg").arg(date).arg(number);
        type = kPictureType;
    } else {
        qevaLog(lcScreens, QStringLiteral("picked %1, not a picture or a movie: %2").arg(info.mediaType, info.mediaURL));
        if (info.mediaType == QLatin1String("public.unreadable"))
            popups().showError(QCoreApplication::translate("PlayFilesViewController", "无法读取所选的文件"));
        return;
    }
    // An empty file would be announced and never followed by anything.
    if (content.size() == 0) {
        qevaLog(lcScreens, QStringLiteral("nothing to send from %1").arg(info.mediaURL));
        popups().showError(QCoreApplication::translate("PlayFilesViewController", "无法读取所选的文件"));
        return;
    }
    m_fileCurrentSize = 0;
    sendFilesInfo(content, type, name);
}

void PlayFilesViewController::sendFilesInfo(const FilesContent &content, const QString &filesType,
                                            const QString &filesName)
{
    SendSocket::shareMananger().disconnectTosocket();
    m_currentFileName = filesName;
    m_currentFileType = filesType;
    m_content = content;
    const QString windowID = session().currentWindowID;
    QVmethodLib::sendFilesInfo(content.size(), filesType, filesName, windowID);

    // A picked file is referred to, not copied; only content that exists
    // nowhere else (a picture encoded here) is kept in the row.
    const bool stored = FMManager::sharedManagerInstance().insertObjectByDeviceWindowIDHex(
        windowID, session().currentSelectDev.userId, filesName, filesType,
        HexCodec::TenToHexWitheightHex(content.size()), QStringLiteral("0"),
        content.isFile() ? QByteArray() : content.bytes(),
        content.isFile() ? QUrl::fromLocalFile(content.path()).toString() : QStringLiteral("0"), QStringLiteral("0"));
    if (stored) {
        QVariantList list = dataSource();
        list.prepend(makeEntry(filesType, filesName, content.size(), QStringLiteral("0")));
        setDataSource(list);
    } else {
        // The file still goes; only the list does not show it.
        qevaLog(lcScreens, QStringLiteral("history row for %1 not stored").arg(filesName));
    }
    m_allDataSize = content.size();
    resetProgress();
    setState(State::Announced);
    m_contentTimer = context().scheduler().after(kContentDelayMs, this, [this] {
        m_contentTimer = 0;
        sendImageDataWithPictureData(m_content);
    });
    rebuildRows();
}

void PlayFilesViewController::sendImageDataWithPictureData(const FilesContent &content)
{
    setState(State::Running);
    session().isFinishSendFiles = true;
    // A file changed or gone since it was picked is reported at once, by
    // the failed notice.
    SendSocket::shareMananger().sendData(content, 0);
}

// --- progress and end -------------------------------------------------------

void PlayFilesViewController::didSendFilesLengthInfoNotice(const QVariant &object)
{
    if (!isSending())
        return;
    m_fileCurrentSize += object.toMap().value(QStringLiteral("partialLength")).toLongLong();
    // The bar belongs to the file being sent; with no entry for it (its
    // history row was not stored) nothing is drawn.
    const QVariantList list = dataSource();
    const bool listed = std::any_of(list.cbegin(), list.cend(),
                                    [this](const QVariant &e) { return nameOf(e) == m_currentFileName; });
    if (!listed)
        return;
    const float total = CommonHelper::getFileSizeNumber(QString::number(m_allDataSize));
    m_progress = qBound(0.0, double(CommonHelper::getProgress(total, float(m_fileCurrentSize))), 1.0);
    m_progressText = sizeText(m_fileCurrentSize, m_allDataSize);
    m_progressShown = true;
    Q_EMIT progressChanged();
}

void PlayFilesViewController::didSendFilesInfoDoneNotice(const QVariant &)
{
    // Only the content of this screen's own transfer ends it.
    if (m_state != State::Running)
        return;
    const QString windowID = session().currentWindowID;
    if (!FMManager::sharedManagerInstance().updateFilesTransInfoByDeviceWindowIDHex(
            windowID, session().currentSelectDev.userId, m_currentFileName, QStringLiteral("1"))) {
        // Stays running: the user abandons it by leaving or with "关闭传输".
        qevaLog(lcScreens, QStringLiteral("history row for %1 not marked finished").arg(m_currentFileName));
        return;
    }
    m_finishedEntry = currentEntry();
    m_finishedWindowID = windowID;
    m_content = FilesContent();
    if (!dataSource().isEmpty()) {
        QVariantList list = entriesFromHistory();
        if (!list.isEmpty())
            list.move(list.size() - 1, 0);
        setDataSource(list);
        // The rebuilt rows are all unticked: a choice kept from before would
        // let "关闭传输" delete rows that show as not chosen.
        m_choosePlayArray.clear();
        if (m_allSelected) {
            m_allSelected = false;
            updateSelectAllButton();
        }
    }
    session().isFinishSendFiles = false;
    setState(State::Idle);
    resetProgress();
    rebuildRows();
    // The file joins the play list even if this screen is left meanwhile.
    TransferFinisher::shared().addTovedioListLater(m_finishedEntry, windowID, this, [this] { addTovedioList(); });
}

void PlayFilesViewController::addTovedioList()
{
    // A screen already taken off its stack (and about to go) asks nothing.
    if (!isAppeared())
        return;
    alert(QCoreApplication::translate("PlayFilesViewController", "提示"),
          QCoreApplication::translate("PlayFilesViewController", "是否立即播放"),
          {QCoreApplication::translate("PlayFilesViewController", "确定"),
           QCoreApplication::translate("PlayFilesViewController", "取消")},
          [this](int index) { alertView(index); });
}

void PlayFilesViewController::alertView(int buttonIndex)
{
    if (buttonIndex == 0)
        toShowImage();
}

void PlayFilesViewController::toShowImage()
{
    QVmethodLib::toShowImageWithDataSource(QVariantList{m_finishedEntry}, m_finishedWindowID);
}

void PlayFilesViewController::didSendFilesFailedNotice(const QVariant &)
{
    // Only the content of this screen's own transfer fails it.
    if (m_state != State::Running)
        return;
    // Nothing of it counts as sent: the server is told to drop it, and its
    // row and entry go, as when the user abandons a transfer.
    backToCloseSendFiles();
    popups().showError(notSentText());
}

void PlayFilesViewController::backToCloseSendFiles()
{
    if (!isSending() && !session().isFinishSendFiles)
        return;
    if (m_contentTimer) {
        context().scheduler().cancel(m_contentTimer);
        m_contentTimer = 0;
    }
    SendSocket::shareMananger().disconnectTosocket();
    if (!m_currentFileName.isEmpty())
        QVmethodLib::backToCloseSendFilesWithDataSource(currentEntry());
    session().isFinishSendFiles = false;
    setState(State::Idle);
    m_content = FilesContent();
    if (!m_currentFileName.isEmpty()) {
        FMManager::sharedManagerInstance().DeleteSingleFilesInfoWithDeviceID(
            session().currentSelectDev.userId, session().currentWindowID, m_currentFileName);
        // Its row is gone, so is its entry: the list stays the history.
        removeEntries(m_currentFileName);
    }
    resetProgress();
    rebuildRows();
}

// --- deleting ---------------------------------------------------------------

void PlayFilesViewController::deleteChosenFiles()
{
    const bool transferring = isSending() || session().isFinishSendFiles;
    if (m_choosePlayArray.isEmpty()) {
        // "关闭传输" with nothing chosen closes the transfer that runs.
        if (transferring) {
            backToCloseSendFiles();
            return;
        }
        popups().showError(QCoreApplication::translate("PlayFilesViewController", "请选择需要删除的文件"));
        return;
    }
    if (transferring) {
        if (m_contentTimer) {
            context().scheduler().cancel(m_contentTimer);
            m_contentTimer = 0;
        }
        SendSocket::shareMananger().disconnectTosocket();
        if (!m_currentFileName.isEmpty())
            QVmethodLib::backToCloseSendFilesWithDataSource(currentEntry());
        session().isFinishSendFiles = false;
        setState(State::Idle);
        m_content = FilesContent();
        resetProgress();
    }
    FMManager &store = FMManager::sharedManagerInstance();
    for (const QVariant &entry : std::as_const(m_choosePlayArray))
        store.DeleteSingleFilesInfoWithDeviceID(session().currentSelectDev.userId, session().currentWindowID,
                                                nameOf(entry));
    m_choosePlayArray.clear();
    // A cancelled file keeps its unfinished row and shows as unfinished.
    setDataSource(entriesFromHistory());
    if (m_allSelected) {
        m_allSelected = false;
        updateSelectAllButton();
    }
    rebuildRows();
}

// --- choosing ---------------------------------------------------------------

void PlayFilesViewController::didSelectRowAtIndexPath(int row)
{
    QVariantList list = dataSource();
    if (row < 0 || row >= list.size())
        return;
    QVariantMap entry = list.at(row).toMap();
    const QString name = entry.value(kFilesName).toString();
    if (entry.value(kChecked).toString() == kNo) {
        entry[kChecked] = kYes;
        m_choosePlayArray.append(entry);
    } else {
        entry[kChecked] = kNo;
        m_choosePlayArray.removeIf([&](const QVariant &e) { return nameOf(e) == name; });
    }
    list[row] = entry;
    setDataSource(list);
    rebuildRows();
}

void PlayFilesViewController::clickButtonAction()
{
    m_allSelected = !m_allSelected;
    updateSelectAllButton();
    allSelect(m_allSelected);
}

void PlayFilesViewController::allSelect(bool on)
{
    QVariantList list = dataSource();
    const int first = qBound(0, m_firstVisible, int(list.size()));
    const int last = m_visibleCount < 0 ? int(list.size()) : qBound(first, first + m_visibleCount, int(list.size()));
    // Only the rows on screen are chosen, although every row shows the tick.
    for (int i = first; i < last; ++i) {
        const QVariantMap entry = list.at(i).toMap();
        const QString name = entry.value(kFilesName).toString();
        m_choosePlayArray.removeIf([&](const QVariant &e) { return nameOf(e) == name; });
        if (on)
            m_choosePlayArray.append(entry);
    }
    for (QVariant &v : list) {
        QVariantMap entry = v.toMap();
        entry[kChecked] = on ? kYes : kNo;
        v = entry;
    }
    setDataSource(list);
    rebuildRows();
}

void PlayFilesViewController::setVisibleRows(int first, int count)
{
    m_firstVisible = qMax(0, first);
    m_visibleCount = count;
}

// --- helpers ----------------------------------------------------------------

QImage PlayFilesViewController::image(const QImage &picture, int rotation)
{
    // Angles counter-clockwise; Qt turns clockwise for positive degrees.
    qreal counterClockwise = 0;
    switch (rotation) {
    case 1: counterClockwise = 180; break;
    case 2: counterClockwise = 90; break;
    case 3: counterClockwise = 270; break;
    default: return picture;
    }
    return picture.transformed(QTransform().rotate(-counterClockwise));
}

QString PlayFilesViewController::sizeText(qint64 current, qint64 total)
{
    return QStringLiteral("%1KB/%2KB").arg(current / 1024).arg(total / 1024);
}

QString PlayFilesViewController::typeImageFor(const QString &filesType)
{
    if (filesType == kPictureType)
        return QStringLiteral("device_62");
    if (filesType == kMovieType)
        return QStringLiteral("device_02");
    return QString();
}

QString PlayFilesViewController::selectAllImage() const
{
    return m_allSelected ? QStringLiteral("device_21") : QStringLiteral("device_22");
}

void PlayFilesViewController::updateSelectAllButton()
{
    // The bar draws a title: the tick box stands in for the toggle's image.
    const QString box = m_allSelected ? QStringLiteral("☑ ") : QStringLiteral("☐ ");
    configureBarbuttonItemStyle(0, box + QCoreApplication::translate("PlayFilesViewController", "全选"),
                                [this] { clickButtonAction(); });
    Q_EMIT allSelectedChanged();
}

void PlayFilesViewController::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT sendingChanged();
}

QVariantList PlayFilesViewController::entriesFromHistory()
{
    QVariantList list;
    // Names, sizes and states: the list never reads a row's content.
    const QList<PlayFilesInfo> rows = FMManager::sharedManagerInstance().selectAllFilesTransListWithDeviceID(
        session().currentSelectDev.userId, session().currentWindowID);
    for (const PlayFilesInfo &row : rows) {
        // The length as the row was written: 16 hex digits, for rows of
        // older versions as well (their content's length).
        bool ok = false;
        const qint64 size = row.filesSize.toLongLong(&ok, 16);
        list.append(makeEntry(row.filesType, row.filesName, ok ? size : 0, row.filesIsFinish));
    }
    return list;
}

QVariantMap PlayFilesViewController::currentEntry() const
{
    return {{kFilesType, m_currentFileType}, {kFilesName, m_currentFileName}};
}

void PlayFilesViewController::removeEntries(const QString &filesName)
{
    QVariantList list = dataSource();
    list.removeIf([&](const QVariant &e) { return nameOf(e) == filesName; });
    setDataSource(list);
    m_choosePlayArray.removeIf([&](const QVariant &e) { return nameOf(e) == filesName; });
}

void PlayFilesViewController::resetProgress()
{
    m_progressShown = false;
    m_progress = 0;
    m_progressText.clear();
    Q_EMIT progressChanged();
}

void PlayFilesViewController::rebuildRows()
{
    QVariantList rows;
    const QVariantList list = dataSource();
    for (const QVariant &v : list) {
        const QVariantMap entry = v.toMap();
        const QString name = entry.value(kFilesName).toString();
        const QString type = entry.value(kFilesType).toString();
        const qint64 length = entry.value(kFilesSize).toLongLong();
        const bool checked = entry.value(kChecked).toString() != kNo;
        const bool succeeded = entry.value(kIsSendSucceed).toString().toLongLong() != 0;
        const bool current = isSending() && name == m_currentFileName && !succeeded;
        double progress = succeeded ? 1.0 : 0.0;
        QString size = sizeText(succeeded ? length : 0, length);
        if (current && m_progressShown) {
            progress = m_progress;
            size = m_progressText;
        }
        rows.append(QVariantMap{{QStringLiteral("filesName"), name},
                                {QStringLiteral("filesType"), type},
                                {QStringLiteral("typeImage"), typeImageFor(type)},
                                {QStringLiteral("checked"), checked},
                                {QStringLiteral("tickImage"),
                                 checked ? QStringLiteral("device_21") : QStringLiteral("device_22")},
                                {QStringLiteral("succeeded"), succeeded},
                                {QStringLiteral("current"), current},
                                {QStringLiteral("progress"), progress},
                                {QStringLiteral("sizeText"), size}});
    }
    m_rows = rows;
    Q_EMIT rowsChanged();
    reloadData();
}
