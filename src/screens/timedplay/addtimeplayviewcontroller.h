#pragma once

#include "ui/ktbasetableviewcontroller.h"
#include "ui/rowlistmodel.h"

#include <QVariantList>
#include <QVariantMap>

// The timed-play schemes of the current window ("定时播放方案列表"). The
// list is asked for afresh each time the screen comes into view; rows can
// be ticked, and the three buttons delete, modify (the scheme ticked first)
// or add (with the next free scheme id) a scheme.
//
// dataSource holds the scheme records of the list shown, each with
// "projectName" and "checked" ("YES"/"NO") among its keys.
class AddTimePlayViewController : public KTBaseTableViewController
{
    Q_OBJECT
    Q_PROPERTY(bool allSelected READ isAllSelected NOTIFY allSelectedChanged)
    Q_PROPERTY(int chosenCount READ chosenCount NOTIFY chosenChanged)
    // One row per scheme shown: "projectName", "checked" (bool).
    Q_PROPERTY(RowListModel *schemes READ schemeModel CONSTANT)

public:
    enum ButtonTag { DeleteTag = 0, ModifyTag = 1, AddTag = 2 };
    Q_ENUM(ButtonTag)
    enum BarTag { RefreshTag = 0, SelectAllTag = 1 };
    Q_ENUM(BarTag)
    static constexpr int kFooterSource = 5;

    explicit AddTimePlayViewController(QObject *parent = nullptr);

    bool isAllSelected() const { return m_allSelected; }
    RowListModel *schemeModel() const { return m_schemeModel; }
    int chosenCount() const { return int(m_choosePlayArray.size()); }
    // Records of the sequence being received (the list shown is dataSource).
    QVariantList timePlayArray() const { return m_timePlayArray; }
    // The ticked records, in the order they were ticked.
    QVariantList choosePlayArray() const { return m_choosePlayArray; }

    // The toolbar: refresh (0), or the select-all toggle (any other tag).
    Q_INVOKABLE void clickedBarButtonItemActionWithTag(int tag);
    // A row was tapped: ticks or unticks it.
    Q_INVOKABLE void didSelectRow(int row);
    Q_INVOKABLE void allSelect(bool on);
    // "删除方案" (0), "修改方案" (1), "增加方案" (2).
    Q_INVOKABLE void buttonAction(int tag);
    // The footer: source 5 forwards a button; any other source selects all
    // (tag 1) or none.
    Q_INVOKABLE void clickedCellButtonWith(int source, int tag);
    // The rows the page has in view; select-all ticks these first. Until the
    // page says, every row counts as in view.
    Q_INVOKABLE void setVisibleRows(int first, int count);

    void didReceiveTimePlayListInfoNotice(const QString &replyHex);

Q_SIGNALS:
    void allSelectedChanged();
    void chosenChanged();

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void retranslate() override;

private:
    void requestList();
    void setAllSelected(bool on);
    void setChecked(int row, bool checked);
    void choose(const QVariantMap &record);
    void unchoose(const QVariantMap &record);
    bool isChosen(const QVariantMap &record) const;
    void openSettings(const QVariantMap &chooseDict);

    QVariantList m_timePlayArray;
    QVariantList m_choosePlayArray;
    bool m_allSelected = false;
    int m_firstVisible = 0;
    int m_visibleCount = -1; // -1: all
    RowListModel *m_schemeModel;
};
