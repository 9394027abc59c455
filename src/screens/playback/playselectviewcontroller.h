#pragma once

#include "ui/ktbasetableviewcontroller.h"
#include "ui/rowlistmodel.h"

#include <QVariantList>
#include <QVariantMap>

// The file list of a timed-play scheme ("定时播放方案设定", last step): loads
// the files the scheme has, takes the files chosen on the server files
// screen, and on "完成" sends the scheme's parameter frame and then one
// frame per chosen file, and returns to the server list.
//
// dataSource holds the shown server-file entries ("filesLenHex",
// "filesContentHex", "filesContent", "checked"); rows is what a row shows.
class PlaySelectViewController : public KTBaseTableViewController
{
    Q_OBJECT
    Q_PROPERTY(RowListModel *rows READ rowModel CONSTANT)
    Q_PROPERTY(bool allSelected READ isAllSelected NOTIFY allSelectedChanged)
    Q_PROPERTY(int chosenCount READ chosenCount NOTIFY chosenChanged)

public:
    // What the list header reports through clickedCellButtonWith.
    enum HeaderAction { CheckBoxAction = 1, ButtonAction = 9 };
    enum HeaderButton { AddButton = 3, DeleteButton = 4 };

    explicit PlaySelectViewController(QObject *parent = nullptr);

    QString timePlayParam() const { return m_timePlayParam; }
    void setTimePlayParam(const QString &frameHex) { m_timePlayParam = frameHex; }
    QString windowID() const { return m_windowID; }
    void setWindowID(const QString &windowID) { m_windowID = windowID; }
    QString projectIDHex() const { return m_projectIDHex; }
    void setProjectIDHex(const QString &projectIDHex) { m_projectIDHex = projectIDHex; }

    // One map per shown entry: "number" (from 1), "fileName" (after the
    // last "/"), "checked" (bool).
    QVariantList rows() const;
    RowListModel *rowModel() const { return m_rowModel; }
    bool isAllSelected() const { return m_allSelected; }
    int chosenCount() const { return int(m_chooseListArray.size()); }
    QVariantList getPlayListArray() const { return m_getPlayListArray; }
    QVariantList chooseListArray() const { return m_chooseListArray; }

    Q_INVOKABLE void didSelectRow(int row);
    // The select-all box "全选".
    Q_INVOKABLE void allSelect(bool on);
    // The list header: the box (1, state) or a button (9, 3 add / 4 delete).
    Q_INVOKABLE void clickedCellButtonWith(int action, int value);
    // "添加文件": the server files screen, add type "2".
    Q_INVOKABLE void addFilesAction();
    // "删除": takes the chosen files off the shown list.
    Q_INVOKABLE void deleteAction();
    // "完成".
    Q_INVOKABLE void doneAction();

    void didReceiveTimePlayListFilesInfoNotice(const QString &replyHex);
    void didReceiveTimePlayListFilesChooseNotice(const QVariant &chosen);

Q_SIGNALS:
    void allSelectedChanged();
    void chosenChanged();

protected:
    void viewDidLoad() override;
    void retranslate() override;

private:
    void setAllSelected(bool on);
    bool isChosen(const QVariantMap &entry) const;

    QString m_timePlayParam;
    QString m_windowID;
    QString m_projectIDHex;
    QVariantList m_getPlayListArray;
    QVariantList m_chooseListArray;
    bool m_allSelected = false;
    bool m_filesChosen = false;
    RowListModel *m_rowModel;
};
