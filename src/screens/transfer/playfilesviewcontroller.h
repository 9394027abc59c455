#pragma once

#include "core/scheduler.h"
#include "net/filescontent.h"
#include "screens/transfer/mediapicker.h"
#include "screens/transfer/transferfinisher.h"
#include "ui/ktbasetableviewcontroller.h"
#include "ui/rowlistmodel.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QUrl>
#include <QVariantMap>

// Sends a picture or a video to the current play window over the file
// stream, shows its progress, has it added to the window's play list and
// played on request, and keeps the list of what was sent in this run (the
// FilesTransInfo history) from which rows are chosen and deleted.
//
// One transfer at a time, from its announcement to its end: finished,
// abandoned (the screen goes away, or "关闭传输" while it runs) or cancelled
// by a deletion. A transfer that never ends by itself (refused, dropped or
// stalled connection) is abandoned the same way.
//
// dataSource holds the list entries (type, name, size, choice, state; never
// the content); the page draws `rows`, which carry everything a cell shows.
// A progress step changes the running file's row alone. A picked video is
// known by its path and what the file system says about it: it is read only
// as it is written to the stream, so a file of any size costs neither
// memory nor database space.
class PlayFilesViewController : public KTBaseTableViewController
{
    Q_OBJECT
    // One map per entry, top first: filesName, filesType, typeImage,
    // checked (bool), tickImage, succeeded (bool), current (bool: the file
    // being sent), progress (0..1), sizeText.
    Q_PROPERTY(RowListModel *rows READ rowModel CONSTANT)
    // The running transfer's bar and label, changed on every progress step
    // without redrawing the list.
    Q_PROPERTY(QString currentFileName READ currentFileName NOTIFY progressChanged)
    Q_PROPERTY(double currentProgress READ currentProgress NOTIFY progressChanged)
    Q_PROPERTY(QString currentSizeText READ currentSizeText NOTIFY progressChanged)
    // Announced or running: "发送文件" is refused meanwhile.
    Q_PROPERTY(bool sending READ isSending NOTIFY sendingChanged)
    Q_PROPERTY(bool allSelected READ allSelected NOTIFY allSelectedChanged)
    Q_PROPERTY(QString selectAllImage READ selectAllImage NOTIFY allSelectedChanged)
    Q_PROPERTY(int chosenCount READ chosenCount NOTIFY rowsChanged)
    // For the album's file dialog.
    Q_PROPERTY(QStringList albumNameFilters READ albumNameFilters NOTIFY languageChanged)
    Q_PROPERTY(QUrl albumFolder READ albumFolder NOTIFY albumFolderChanged)

public:
    // The bottom buttons' tags.
    enum { kCloseButtonTag = 0, kSendButtonTag = 1 };
    static constexpr int kContentDelayMs = 1000;
    static constexpr int kAddToListDelayMs = TransferFinisher::kAddToListDelayMs;

    PlayFilesViewController();
    ~PlayFilesViewController() override;

    // --- what the page calls -------------------------------------------
    // tag 0: delete the chosen rows ("关闭传输"); any other: send a file.
    Q_INVOKABLE void sendButtonAction(int tag);
    Q_INVOKABLE void didSelectRowAtIndexPath(int row);
    // The select-all toggle.
    Q_INVOKABLE void clickButtonAction();
    // The rows the list shows on screen now; select-all ticks only these.
    // Until the page says, every row counts as shown.
    Q_INVOKABLE void setVisibleRows(int first, int count);
    // The album's answer: a local path or a file URL.
    Q_INVOKABLE void didFinishPickingFile(const QString &pathOrUrl);
    Q_INVOKABLE void imagePickerControllerDidCancel();

    // --- the steps of a transfer ---------------------------------------
    void allSelect(bool on);
    // A picture or a movie was picked: name it, encode it, send it.
    void imagePickerController(const PickedMedia &info);
    void sendFilesInfo(const FilesContent &content, const QString &filesType, const QString &filesName);
    void sendImageDataWithPictureData(const FilesContent &content);
    void didSendFilesLengthInfoNotice(const QVariant &object);
    void didSendFilesInfoDoneNotice(const QVariant &object);
    // The file's content could not be sent whole (changed or gone): the
    // transfer ends as abandoned, and the user is told.
    void didSendFilesFailedNotice(const QVariant &object);
    // Once the file is on the play list (TransferFinisher): ask whether to
    // play it now.
    void addTovedioList();
    void alertView(int buttonIndex);
    void toShowImage();
    void backToCloseSendFiles();
    // The picture turned: 1 half a turn, 2 a quarter turn counter-clockwise,
    // 3 a quarter turn clockwise (3π/2 counted counter-clockwise); any other
    // code leaves it as it is.
    static QImage image(const QImage &picture, int rotation);

    // --- state, for the page and for tests ----------------------------
    QVariantList rows() const { return m_rows; }
    RowListModel *rowModel() const { return m_rowModel; }
    QString currentFileName() const { return m_currentFileName; }
    QString currentFileType() const { return m_currentFileType; }
    double currentProgress() const { return m_progress; }
    QString currentSizeText() const { return m_progressText; }
    bool isSending() const { return m_state != State::Idle; }
    bool isRunning() const { return m_state == State::Running; }
    bool allSelected() const { return m_allSelected; }
    QString selectAllImage() const;
    int chosenCount() const { return int(m_choosePlayArray.size()); }
    QVariantList choosePlayArray() const { return m_choosePlayArray; }
    qint64 fileCurrentSize() const { return m_fileCurrentSize; }
    qint64 allDataSize() const { return m_allDataSize; }
    bool selectedType() const { return m_selectedType; }
    QStringList albumNameFilters() const { return MediaPicker::albumNameFilters(); }
    QUrl albumFolder() const { return QUrl::fromLocalFile(MediaPicker::shared().albumFolder()); }

    // The cell's texts and images, as a row is drawn.
    static QString sizeText(qint64 current, qint64 total);
    static QString typeImageFor(const QString &filesType);

Q_SIGNALS:
    void rowsChanged();
    void progressChanged();
    void sendingChanged();
    void allSelectedChanged();
    // The page opens its album (file dialog) and answers with
    // didFinishPickingFile() or imagePickerControllerDidCancel().
    void photoLibraryRequested();
    void albumFolderChanged();

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewWillDisappear() override;
    void retranslate() override;

private:
    enum class State { Idle, Announced, Running };

    void chooseSource(int index);
    void deleteChosenFiles();
    void setState(State state);
    void updateSelectAllButton();
    // The list's entries from the history rows, in table order.
    QVariantList entriesFromHistory();
    QVariantMap currentEntry() const;
    void removeEntries(const QString &filesName);
    void rebuildRows();
    void resetProgress();

    State m_state = State::Idle;
    FilesContent m_content; // of the transfer announced or running
    QVariantList m_choosePlayArray;
    qint64 m_fileCurrentSize = 0;
    qint64 m_allDataSize = 0;
    QString m_currentFileName;
    QString m_currentFileType;
    bool m_selectedType = false;
    bool m_allSelected = false;
    int m_firstVisible = 0;
    int m_visibleCount = -1; // every row
    Scheduler::TimerId m_contentTimer = 0;

    // The running transfer's bar.
    bool m_progressShown = false;
    double m_progress = 0;
    QString m_progressText;

    // The file that finished last and its window, for the steps after it.
    QVariantMap m_finishedEntry;
    QString m_finishedWindowID;

    QVariantList m_rows;
    RowListModel *m_rowModel;
};
