#include "ui/rowlistmodel.h"

#include <QSet>

RowListModel::RowListModel(const QStringList &roles, const QString &keyRole, QObject *parent)
    : QAbstractListModel(parent)
    , m_roles(roles)
    , m_keyRole(int(roles.indexOf(keyRole)))
{
}

RowListModel::Row RowListModel::toRow(const QVariantMap &map) const
{
    Row row;
    row.reserve(m_roles.size());
    for (const QString &role : m_roles)
        row.append(map.value(role));
    return row;
}

QString RowListModel::keyOf(const Row &row, int position) const
{
    return m_keyRole >= 0 ? row.at(m_keyRole).toString() : QString::number(position);
}

void RowListModel::setRows(const QVariantList &list)
{
    const int before = count();
    QList<Row> rows;
    QStringList keys;
    rows.reserve(list.size());
    keys.reserve(list.size());
    QHash<QString, int> seen;
    for (const QVariant &v : list) {
        rows.append(toRow(v.toMap()));
        // Two rows with one key stay two rows: number the repeats.
        const QString key = keyOf(rows.last(), int(keys.size()));
        const int n = seen[key]++;
        keys.append(n ? key + QChar(0x1f) + QString::number(n) : key);
    }

    if (m_rows.isEmpty() || rows.isEmpty()) {
        if (!m_rows.isEmpty()) {
            beginRemoveRows(QModelIndex(), 0, count() - 1);
            m_rows.clear();
            m_keys.clear();
            endRemoveRows();
        }
        if (!rows.isEmpty()) {
            beginInsertRows(QModelIndex(), 0, int(rows.size()) - 1);
            m_rows = rows;
            m_keys = keys;
            endInsertRows();
        }
        if (count() != before)
            Q_EMIT countChanged();
        return;
    }

    // Rows that are gone, in runs from the end so positions stay valid.
    const QSet<QString> wanted(keys.cbegin(), keys.cend());
    for (int last = count() - 1; last >= 0;) {
        if (wanted.contains(m_keys.at(last))) {
            --last;
            continue;
        }
        int first = last;
        while (first > 0 && !wanted.contains(m_keys.at(first - 1)))
            --first;
        beginRemoveRows(QModelIndex(), first, last);
        m_rows.remove(first, last - first + 1);
        m_keys.remove(first, last - first + 1);
        endRemoveRows();
        last = first - 1;
    }

    // Then every wanted row in place: kept, moved up or new.
    for (int i = 0; i < rows.size(); ++i) {
        if (i < count() && m_keys.at(i) == keys.at(i)) {
            replaceRow(i, rows.at(i));
            continue;
        }
        const int from = int(m_keys.indexOf(keys.at(i), i));
        if (from > i) {
            beginMoveRows(QModelIndex(), from, from, QModelIndex(), i);
            m_rows.move(from, i);
            m_keys.move(from, i);
            endMoveRows();
            replaceRow(i, rows.at(i));
            continue;
        }
        beginInsertRows(QModelIndex(), i, i);
        m_rows.insert(i, rows.at(i));
        m_keys.insert(i, keys.at(i));
        endInsertRows();
    }
    if (count() != before)
        Q_EMIT countChanged();
}

void RowListModel::replaceRow(int position, const Row &row)
{
    Row &current = m_rows[position];
    QList<int> changed;
    for (int r = 0; r < row.size(); ++r) {
        if (current.at(r) != row.at(r)) {
            current[r] = row.at(r);
            changed.append(Qt::UserRole + r);
        }
    }
    if (!changed.isEmpty())
        Q_EMIT dataChanged(index(position), index(position), changed);
}

bool RowListModel::updateRow(int row, const QVariantMap &values)
{
    if (row < 0 || row >= count())
        return false;
    Row next = m_rows.at(row);
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const int r = int(m_roles.indexOf(it.key()));
        if (r >= 0 && r != m_keyRole)
            next[r] = it.value();
    }
    replaceRow(row, next);
    return true;
}

int RowListModel::indexOf(const QString &role, const QVariant &value) const
{
    const int r = int(m_roles.indexOf(role));
    if (r < 0)
        return -1;
    for (int i = 0; i < count(); ++i)
        if (m_rows.at(i).at(r) == value)
            return i;
    return -1;
}

QVariantMap RowListModel::at(int row) const
{
    QVariantMap out;
    if (row < 0 || row >= count())
        return out;
    for (int r = 0; r < m_roles.size(); ++r)
        out.insert(m_roles.at(r), m_rows.at(row).at(r));
    return out;
}

QVariantList RowListModel::rows() const
{
    QVariantList out;
    for (int i = 0; i < count(); ++i)
        out.append(at(i));
    return out;
}

int RowListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant RowListModel::data(const QModelIndex &index, int role) const
{
    const int r = role - Qt::UserRole;
    if (!index.isValid() || index.row() >= count() || r < 0 || r >= m_roles.size())
        return {};
    return m_rows.at(index.row()).at(r);
}

QHash<int, QByteArray> RowListModel::roleNames() const
{
    QHash<int, QByteArray> names;
    for (int r = 0; r < m_roles.size(); ++r)
        names.insert(Qt::UserRole + r, m_roles.at(r).toUtf8());
    return names;
}
