#pragma once

#include "ui/ktbasetableviewcontroller.h"
#include "ui/rowlistmodel.h"

#include <QString>
#include <QVariantList>

// The play list of the current window ("视频播放控制"): loads it each time
// the screen is shown, plays a row, checks entries, sends the five play
// orders, cycles the play mode, sets the window's volume, deletes one entry
// or clears the list, and opens the server files screen to add files.
//
// dataSource holds the shown play-list entries ("vedioYinliang",
// "vedioWeizhi", "filesContent", "checked" "YES"/"NO"); rows is what a row
// shows.
class PlayControlViewController : public KTBaseTableViewController
{
    Q_OBJECT
    Q_PROPERTY(RowListModel *rows READ rowModel CONSTANT)
    Q_PROPERTY(int currentPlayIndex READ currentPlayIndex NOTIFY currentPlayIndexChanged)
    Q_PROPERTY(int playModel READ playModel NOTIFY playModelChanged)
    Q_PROPERTY(QString playModelTitle READ playModelTitle NOTIFY playModelChanged)
    Q_PROPERTY(bool allSelected READ isAllSelected NOTIFY allSelectedChanged)
    Q_PROPERTY(int volume READ volume NOTIFY volumeChanged)
    Q_PROPERTY(QString volumeText READ volumeText NOTIFY volumeChanged)
    Q_PROPERTY(bool volumePanelVisible READ isVolumePanelVisible NOTIFY volumePanelVisibleChanged)
    Q_PROPERTY(bool secondButtonRow READ isSecondButtonRow NOTIFY secondButtonRowChanged)

public:
    // The tags of the screen's buttons. The five play buttons send the
    // order of their tag (1: 01, 2: 00, 3: 02, 4: 04, 7: 03).
    enum ButtonTag {
        ProceTag = 1,   // previous
        PlayTag = 2,
        ZantingTag = 3, // pause
        NextTag = 4,
        ControlModelTag = 5,
        DeleteTag = 6,
        StopTag = 7,
        YinliangTag = 8,
        FileTag = 9,
        MoreTag1 = 10,
        MoreTag2 = 11,
    };
    Q_ENUM(ButtonTag)
    enum PlayModel { LoopModel = 0, RandomModel = 1, OrderModel = 2, SingleModel = 3 };
    enum BarButton { RefreshBarButton = 0, AllSelectBarButton = 1 };
    enum CellAction { CheckAction = 3, UncheckAction = 4 };
    static constexpr int kMaxVolume = 10;

    explicit PlayControlViewController(QObject *parent = nullptr);

    // One map per row: "number" (from 1), "fileName" (after the last "/"),
    // "checked" (bool), "playing" (bool).
    QVariantList rows() const;
    RowListModel *rowModel() const { return m_rowModel; }
    // The server's current play index (kept with the selected server).
    int currentPlayIndex() const;
    int playModel() const { return m_playModel; }
    QString playModelTitle() const;
    bool isAllSelected() const { return m_allSelected; }
    int volume() const { return m_volume; }
    QString volumeText() const { return m_volumeText; }
    bool isVolumePanelVisible() const { return m_volumePanelVisible; }
    bool isSecondButtonRow() const { return m_secondButtonRow; }
    int orderIndex() const { return m_orderIndex; }

    // Loads the list again: empties it, shows the progress pop-up and asks.
    Q_INVOKABLE void reloadList();
    Q_INVOKABLE void getTimePlayInitializeInfo();
    Q_INVOKABLE void getVedioSiglePlayWithVedioIndexHex(const QString &indexHex);
    Q_INVOKABLE void sendFielsToListWithVedioIndexHex(const QString &indexHex, const QString &updateState);
    Q_INVOKABLE void getPlayControlActionWithOrder(const QString &orderId);
    Q_INVOKABLE void getPlayControlActionWithOrder2(const QString &modelId);
    Q_INVOKABLE void sendDeletePlayListWithOrder();
    Q_INVOKABLE void allSelect(bool on);
    // The user lets go of the volume slider.
    Q_INVOKABLE void sliderValueChange(double value);
    Q_INVOKABLE void controlButtonAction(int tag);
    Q_INVOKABLE void clickedBarButtonItemActionWithTag(int code);
    Q_INVOKABLE void clickedCellButtonWith(int action, int row);
    // A tap on a row plays it.
    Q_INVOKABLE void didSelectRow(int row);
    // A row's "删除": asks how, then deletes it.
    Q_INVOKABLE void deleteRow(int row);
    Q_INVOKABLE void closeVolumePanel();

    void didReceiveVedioPlayInfoNotice(const QString &replyHex);
    void didReceivePlayListOrderNotice(const QString &replyHex);
    void didReceiveVedioListNoInfoNotice(const QString &replyHex);

Q_SIGNALS:
    void rowsChanged();
    void currentPlayIndexChanged();
    void playModelChanged();
    void allSelectedChanged();
    void volumeChanged();
    void volumePanelVisibleChanged();
    void secondButtonRowChanged();
    // The page highlights the row; scrolled to the middle of the view when asked.
    void rowHighlighted(int row, bool scrollToMiddle);

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void retranslate() override;

private:
    QString windowId() const;
    void setCurrentPlayIndex(qint64 index);
    void highlightCurrent(bool scroll);
    void setChecked(int row, bool checked);
    void setVolume(int value, const QString &text);
    void changePlayModel();
    void deletePlayItem(int row, bool alsoDeleteFile);
    void askClearList();
    void openServerFiles();
    void setVolumePanelVisible(bool visible);

    QVariantList m_loading; // entries of a load in progress, shown with the last
    int m_playModel = LoopModel;
    bool m_allSelected = false;
    int m_volume = 5;
    QString m_volumeText = QStringLiteral("5");
    bool m_volumePanelVisible = false;
    bool m_secondButtonRow = false;
    int m_orderIndex = -1;
    RowListModel *m_rowModel;
};
