#pragma once

#include "ui/ktbaseviewcontroller.h"

#include <QVariantList>

// The base of list screens: the entries behind the rows, and a push of the
// screen a row opens. Pages draw a screen's rows from its list model.
class KTBaseTableViewController : public KTBaseViewController
{
    Q_OBJECT

public:
    explicit KTBaseTableViewController(QObject *parent = nullptr);

    QVariantList dataSource() const { return m_dataSource; }
    void setDataSource(const QVariantList &rows);

    // Onto this screen's stack. False when there is none or it refuses; a
    // refused screen that nothing owns is deleted, so none is left dangling.
    bool pushNewViewController(KTBaseViewController *screen);

    // Tells the page to draw the rows again; for screens that change rows
    // held outside dataSource.
    Q_INVOKABLE void reloadData();

Q_SIGNALS:
    void dataSourceChanged();
    void dataReloaded();

private:
    QVariantList m_dataSource;
};
