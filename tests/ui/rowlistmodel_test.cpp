#include "ui/rowlistmodel.h"

#include <gtest/gtest.h>

namespace {

QVariantMap file(const QString &name, double progress = 0, bool checked = false)
{
    return {{QStringLiteral("name"), name}, {QStringLiteral("progress"), progress}, {QStringLiteral("checked"), checked}};
}

// What a view hears from the model, in order, as short lines.
class Listener
{
public:
    explicit Listener(RowListModel &model)
        : m_model(model)
    {
        QObject::connect(&model, &QAbstractItemModel::rowsInserted, [this](const QModelIndex &, int f, int l) {
            events << QStringLiteral("insert %1-%2").arg(f).arg(l);
        });
        QObject::connect(&model, &QAbstractItemModel::rowsRemoved, [this](const QModelIndex &, int f, int l) {
            events << QStringLiteral("remove %1-%2").arg(f).arg(l);
        });
        QObject::connect(&model, &QAbstractItemModel::rowsMoved,
                         [this](const QModelIndex &, int f, int, const QModelIndex &, int to) {
                             events << QStringLiteral("move %1>%2").arg(f).arg(to);
                         });
        QObject::connect(&model, &QAbstractItemModel::modelReset, [this] { events << QStringLiteral("reset"); });
        QObject::connect(&model, &QAbstractItemModel::dataChanged,
                         [this](const QModelIndex &from, const QModelIndex &to, const QList<int> &roles) {
                             QStringList names;
                             for (int r : roles)
                                 names << QString::fromUtf8(m_model.roleNames().value(r));
                             events << QStringLiteral("change %1-%2 %3").arg(from.row()).arg(to.row()).arg(names.join(','));
                         });
    }
    QStringList take()
    {
        QStringList out = events;
        events.clear();
        return out;
    }
    QStringList events;

private:
    RowListModel &m_model;
};

QStringList names(const RowListModel &model)
{
    QStringList out;
    for (int i = 0; i < model.count(); ++i)
        out << model.data(model.index(i), Qt::UserRole).toString();
    return out;
}

TEST(RowListModelTest, AKeyedListChangesOnlyWhatChanged)
{
    RowListModel model({QStringLiteral("name"), QStringLiteral("progress"), QStringLiteral("checked")},
                       QStringLiteral("name"));
    Listener heard(model);
    model.setRows({file("a"), file("b"), file("c")});
    EXPECT_EQ(heard.take(), QStringList{"insert 0-2"});

    struct Case
    {
        const char *what;
        QVariantList rows;
        QStringList events;
        QStringList after;
    };
    const Case cases[] = {
        {"the same rows again", {file("a"), file("b"), file("c")}, {}, {"a", "b", "c"}},
        {"one value of one row", {file("a"), file("b", 0.5), file("c")}, {"change 1-1 progress"}, {"a", "b", "c"}},
        {"two values of another", {file("a", 0.1, true), file("b", 0.5), file("c")}, {"change 0-0 progress,checked"},
         {"a", "b", "c"}},
        {"a new row on top", {file("n"), file("a", 0.1, true), file("b", 0.5), file("c")}, {"insert 0-0"},
         {"n", "a", "b", "c"}},
        {"a row in the middle gone", {file("n"), file("a", 0.1, true), file("c")}, {"remove 2-2"}, {"n", "a", "c"}},
        {"the last row moved to the top", {file("c"), file("n"), file("a", 0.1, true)}, {"move 2>0"}, {"c", "n", "a"}},
        {"all gone", {}, {"remove 0-2"}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        model.setRows(c.rows);
        EXPECT_EQ(heard.take(), c.events);
        EXPECT_EQ(names(model), c.after);
        EXPECT_EQ(model.rows(), c.rows);
    }
}

TEST(RowListModelTest, WithoutAKeyRowsArePositionsAndRepeatedKeysStayApart)
{
    RowListModel byPosition({QStringLiteral("name"), QStringLiteral("checked")});
    Listener heard(byPosition);
    byPosition.setRows({file("a"), file("b"), file("c")});
    heard.take();
    // Deleting the middle row of a numbered list: the rows after it change,
    // the last one goes.
    byPosition.setRows({file("a"), file("c")});
    EXPECT_EQ(heard.take(), (QStringList{"remove 2-2", "change 1-1 name"}));

    RowListModel keyed({QStringLiteral("name")}, QStringLiteral("name"));
    Listener keyedHeard(keyed);
    keyed.setRows({file("same"), file("same"), file("other")});
    EXPECT_EQ(keyed.count(), 3);
    keyedHeard.take();
    keyed.setRows({file("same"), file("other")});
    EXPECT_EQ(keyedHeard.take(), QStringList{"remove 1-1"});
    EXPECT_EQ(names(keyed), (QStringList{"same", "other"}));
}

TEST(RowListModelTest, UpdatingOneRowTellsOfThatRowAlone)
{
    RowListModel model({QStringLiteral("name"), QStringLiteral("progress"), QStringLiteral("checked")},
                       QStringLiteral("name"));
    model.setRows({file("a"), file("b")});
    Listener heard(model);
    EXPECT_TRUE(model.updateRow(1, {{QStringLiteral("progress"), 0.25}, {QStringLiteral("unknown"), 1}}));
    EXPECT_EQ(heard.take(), QStringList{"change 1-1 progress"});
    // The key is what the row is: it is not changed from outside.
    EXPECT_TRUE(model.updateRow(0, {{QStringLiteral("name"), QStringLiteral("z")}}));
    EXPECT_TRUE(heard.take().isEmpty());
    EXPECT_FALSE(model.updateRow(2, {{QStringLiteral("progress"), 1.0}}));
    EXPECT_FALSE(model.updateRow(-1, {{QStringLiteral("progress"), 1.0}}));
    EXPECT_EQ(model.indexOf(QStringLiteral("progress"), 0.25), 1);
    EXPECT_EQ(model.indexOf(QStringLiteral("progress"), 0.75), -1);
    EXPECT_EQ(model.get(1).toMap().value(QStringLiteral("progress")).toDouble(), 0.25);
    EXPECT_TRUE(model.get(5).toMap().isEmpty());
}

} // namespace
