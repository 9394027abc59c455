#pragma once

#include "session/deviceinfo.h"
#include "ui/ktbasetableviewcontroller.h"
#include "ui/rowlistmodel.h"

#include <QList>
#include <QVariantList>

class PickerField;

// The window list of the settings menu ("窗口设置"): the windows of a
// chosen server, adding one ("新增窗口", only below two windows) and
// closing the selected ones ("关闭窗口"). The list is rebuilt from the
// server's next announcement with a changed window count.
//
// dataSource holds the window entries ("WinID", "checked" "YES"/"NO");
// rows is what a row shows.
class WindowSetViewController : public KTBaseTableViewController
{
    Q_OBJECT
    Q_PROPERTY(PickerField *shebeiField READ shebeiField CONSTANT)
    Q_PROPERTY(RowListModel *rows READ rowModel CONSTANT)
    Q_PROPERTY(bool addWindowEnabled READ isAddWindowEnabled NOTIFY addWindowEnabledChanged)
    Q_PROPERTY(int selectedCount READ selectedCount NOTIFY selectionChanged)

public:
    enum Button { AddWindowButton = 1, CloseWindowButton = 2 };
    Q_ENUM(Button)
    static constexpr int kMaxWindows = 2; // the client adds windows only below this

    explicit WindowSetViewController(QObject *parent = nullptr);

    PickerField *shebeiField() const { return m_shebeiField; }
    QList<DeviceInfo> shebeiArray() const { return m_shebeiArray; }
    // One map per window: "name" (视频窗口_XX), "checked" (bool).
    QVariantList rows() const;
    RowListModel *rowModel() const { return m_rowModel; }
    bool isAddWindowEnabled() const { return m_addWindowEnabled; }
    int selectedCount() const { return int(m_choosePlayArray.size()); }
    QVariantList choosePlayArray() const { return m_choosePlayArray; }
    bool isUpdateWindow() const { return m_isUpdateWindow; }

    // "视频窗口_" and the id.
    static QString windowDisplayName(const QString &windowId);
    // The window ids of a record: count records from deviceInfo2, never more
    // than it holds.
    static QStringList windowIds(const DeviceInfo &device, int count);

    // A tap on a row toggles it in the selection.
    Q_INVOKABLE void didSelectRow(int row);
    // 1 adds a window, any other code closes the selected ones.
    Q_INVOKABLE void ButtonActionTouch(int code);
    Q_INVOKABLE void sendCloseNewWindow();

    void didReceiveShebeiInfoNotice(const QString &replyHex);

Q_SIGNALS:
    void addWindowEnabledChanged();
    void selectionChanged();

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void retranslate() override;

private:
    void showServer(const DeviceInfo &device, int windowCount);
    void setAddWindowEnabled(bool enabled);
    void serverChosen(int row);

    PickerField *m_shebeiField;
    QList<DeviceInfo> m_shebeiArray;
    QVariantList m_choosePlayArray;
    bool m_isUpdateWindow = false;
    bool m_addWindowEnabled = false;
    RowListModel *m_rowModel;
};
