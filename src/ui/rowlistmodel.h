#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

// The rows a page lists, as a model with one role per key. A screen hands it
// its whole list after every change; the model works out what changed, so
// that a view keeps its rows, its scroll position and its focus when one
// value of one row changes: rows are matched by their key role (by position
// when there is none), and only changed roles of kept rows are reported.
class RowListModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    // roles: the keys a row may carry; values under other keys are dropped.
    explicit RowListModel(const QStringList &roles, const QString &keyRole = QString(), QObject *parent = nullptr);

    // Each entry a QVariantMap.
    void setRows(const QVariantList &rows);
    // Changes the given roles of one row; false for a row that is not there.
    bool updateRow(int row, const QVariantMap &values);
    // The first row whose role holds value; -1 when none does.
    int indexOf(const QString &role, const QVariant &value) const;

    int count() const { return int(m_rows.size()); }
    // One row's values by role; empty for a row that is not there. (A
    // variant for QML, which reads its keys as properties.)
    Q_INVOKABLE QVariant get(int index) const { return at(index); }
    QVariantMap at(int index) const;
    QVariantList rows() const;
    QStringList roles() const { return m_roles; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

Q_SIGNALS:
    void countChanged();

private:
    using Row = QList<QVariant>; // by role number
    Row toRow(const QVariantMap &map) const;
    QString keyOf(const Row &row, int position) const;
    // Replaces the values of a kept row; reports the roles that changed.
    void replaceRow(int position, const Row &row);

    QStringList m_roles;
    int m_keyRole = -1;
    QList<Row> m_rows;
    QStringList m_keys;
};
