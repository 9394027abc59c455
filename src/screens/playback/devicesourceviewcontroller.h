#pragma once

#include "ui/ktbasetableviewcontroller.h"
#include "ui/rowlistmodel.h"

#include <QList>
#include <QString>
#include <QVariantList>

// The files stored on the current server ("添加视频文件"), to choose from.
// Add type "1" appends the chosen files to the play list of windowID; any
// other type hands them back with "didReceiveTimePlayListFilesChooseNotice"
// (the timed-play file list).
//
// dataSource holds the shown server-file entries ("filesLenHex",
// "filesContentHex", "filesContent", "checked" "YES"/"NO"); rows is what a
// row shows.
class DeviceSourceViewController : public KTBaseTableViewController
{
    Q_OBJECT
    Q_PROPERTY(QString windowID READ windowID WRITE setWindowID NOTIFY windowIDChanged)
    Q_PROPERTY(QString addFilesType READ addFilesType WRITE setAddFilesType NOTIFY addFilesTypeChanged)
    Q_PROPERTY(RowListModel *rows READ rowModel CONSTANT)
    Q_PROPERTY(bool allSelected READ isAllSelected NOTIFY allSelectedChanged)
    Q_PROPERTY(int chosenCount READ chosenCount NOTIFY chosenChanged)

public:
    explicit DeviceSourceViewController(QObject *parent = nullptr);

    QString windowID() const { return m_windowID; }
    void setWindowID(const QString &windowID);
    QString addFilesType() const { return m_addFilesType; }
    void setAddFilesType(const QString &type);

    // One map per row: "number" (from 1), "fileName" (after the last "/"),
    // "checked" (bool).
    QVariantList rows() const;
    RowListModel *rowModel() const { return m_rowModel; }
    bool isAllSelected() const { return m_allSelected; }
    int chosenCount() const { return int(m_chosen.size()); }
    // The chosen entries, in the order they were chosen.
    QVariantList chooseListArray() const;

    Q_INVOKABLE void didSelectRow(int row);
    Q_INVOKABLE void allSelect(bool on);
    // "确定".
    Q_INVOKABLE void confirmAction();

    void didReceiveDeviceFilesInfoNotice(const QString &replyHex);

Q_SIGNALS:
    void windowIDChanged();
    void addFilesTypeChanged();
    void allSelectedChanged();
    void chosenChanged();

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void retranslate() override;

private:
    void setRowChecked(int row, bool checked);
    void updateBarButton();

    QString m_windowID;
    QString m_addFilesType;
    QVariantList m_loading;  // entries of the load in progress, shown with the last
    QList<int> m_chosen;     // rows of the file list, in choice order
    bool m_allSelected = false;
    RowListModel *m_rowModel;
};
