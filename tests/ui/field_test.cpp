#include "support/testcontext.h"
#include "ui/datetimefield.h"
#include "ui/pickerfield.h"

#include <functional>

namespace {

const QStringList kSources = {"HDMI", "VGA", "DVI"};

struct PickerSpy
{
    explicit PickerSpy(PickerField &f)
    {
        QObject::connect(&f, &PickerField::applied, [this](int r) { applied << r; });
        QObject::connect(&f, &PickerField::rowSelected, [this](int r) { selected << r; });
        QObject::connect(&f, &PickerField::editingEnded, [this] { ++ended; });
    }
    QList<int> applied, selected;
    int ended = 0;
};

TEST(PickerFieldTest, RowAppliesOnlyWhenEditingEnds)
{
    PickerField field(kSources, 2);
    PickerSpy spy(field);
    EXPECT_EQ(field.wheelRow(), 0);
    EXPECT_EQ(field.currentIndex(), -1);

    field.beginEditing();
    EXPECT_TRUE(field.isEditing());
    EXPECT_TRUE(field.selectRow(2));
    EXPECT_TRUE(field.selectRow(1));
    EXPECT_EQ(spy.selected, QList<int>({2, 1}));
    EXPECT_TRUE(field.text().isEmpty());
    EXPECT_EQ(field.currentIndex(), -1);
    EXPECT_TRUE(spy.applied.isEmpty());

    EXPECT_TRUE(field.endEditing());
    EXPECT_FALSE(field.isEditing());
    EXPECT_EQ(field.text(), "VGA");
    EXPECT_EQ(field.currentIndex(), 1);
    EXPECT_EQ(spy.applied, QList<int>{1});
    EXPECT_EQ(spy.ended, 1);

    // Ending an edit that was never begun applies nothing.
    field.selectRow(0);
    EXPECT_FALSE(field.endEditing());
    EXPECT_EQ(field.text(), "VGA");
    EXPECT_EQ(spy.applied, QList<int>{1});
}

TEST(PickerFieldTest, RowsOutsideTheListAreRefused)
{
    PickerField field(kSources);
    PickerSpy spy(field);
    field.beginEditing();
    field.selectRow(1);
    for (int bad : {-1, 3, 1000}) {
        EXPECT_FALSE(field.selectRow(bad)) << bad;
        EXPECT_EQ(field.wheelRow(), 1);
    }
    EXPECT_EQ(spy.selected, QList<int>{1});
    field.endEditing();
    EXPECT_EQ(field.text(), "VGA");
}

TEST(PickerFieldTest, EmptyListEndsEditingWithoutAChoice)
{
    PickerField field;
    PickerSpy spy(field);
    field.setText("kept");
    EXPECT_EQ(field.wheelRow(), -1);
    EXPECT_FALSE(field.selectRow(0));
    field.beginEditing();
    EXPECT_TRUE(field.endEditing());
    EXPECT_EQ(spy.ended, 1);
    EXPECT_TRUE(spy.applied.isEmpty());
    EXPECT_EQ(field.text(), "kept");
}

TEST(PickerFieldTest, NewItemsKeepTheWheelOnlyWhereItStillFits)
{
    PickerField field(kSources);
    field.selectRow(2);
    field.beginEditing();
    field.endEditing();
    ASSERT_EQ(field.currentIndex(), 2);

    field.setItems({"a", "b", "c", "d"});
    EXPECT_EQ(field.wheelRow(), 2);
    EXPECT_EQ(field.currentIndex(), 2);
    field.setItems({"x"});
    EXPECT_EQ(field.wheelRow(), 0);
    EXPECT_EQ(field.currentIndex(), -1);
    field.setItems({});
    EXPECT_EQ(field.wheelRow(), -1);
}

TEST(PickerFieldTest, AnotherLanguageShowsTheSameRowInItsWords)
{
    const QStringList chinese{"黑色", "白色", "黑色"}, english{"Black", "White", "Black (2)"};
    struct Case
    {
        const char *what;
        std::function<void(PickerField &)> show;
        QString shown; // after the items are retranslated
    };
    const Case cases[] = {
        {"a row put in the field", [&](PickerField &f) { f.setText(chinese[1]); }, "White"},
        // Two rows with the same words: the one applied is the one meant.
        {"an applied row", [](PickerField &f) { f.selectRow(2); f.beginEditing(); f.endEditing(); }, "Black (2)"},
        {"a text of no row (a code the list lacks)", [](PickerField &f) { f.setText("#0d"); }, "#0d"},
        {"nothing yet", [](PickerField &) {}, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        PickerField field(chinese);
        c.show(field);
        const int wheel = field.wheelRow(), current = field.currentIndex();
        field.retranslateItems(english);
        EXPECT_EQ(field.items(), english);
        EXPECT_EQ(field.text(), c.shown);
        EXPECT_EQ(field.wheelRow(), wheel);
        EXPECT_EQ(field.currentIndex(), current);
    }
}

TEST(DateTimeFieldTest, EndingTheEditShowsTheWheelInItsFormat)
{
    struct Case
    {
        DateTimeField::Mode mode;
        QString format; // empty: the default
        QDate date;
        QTime time;
        QString shown;
    };
    const Case cases[] = {
        {DateTimeField::Date, {}, QDate(2024, 2, 29), {}, "2024/02/29"},
        {DateTimeField::Time, {}, {}, QTime(7, 5, 9), "07:05:09"},
        {DateTimeField::Time, "HH:mm", {}, QTime(23, 59, 1), "23:59"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.shown.toStdString());
        DateTimeField field(c.mode, 5);
        if (!c.format.isEmpty())
            field.setDisplayFormat(c.format);
        int applied = 0;
        QObject::connect(&field, &DateTimeField::applied, [&] { ++applied; });
        field.beginEditing();
        if (c.mode == DateTimeField::Date)
            EXPECT_TRUE(field.selectDate(c.date));
        else
            EXPECT_TRUE(field.selectTime(c.time));
        EXPECT_TRUE(field.text().isEmpty());
        EXPECT_EQ(applied, 0);
        field.endEditing();
        EXPECT_EQ(field.text(), c.shown);
        EXPECT_EQ(applied, 1);
        if (c.mode == DateTimeField::Date)
            EXPECT_EQ(field.date(), c.date);
        else
            EXPECT_EQ(field.time(), c.time);
    }
}

TEST(DateTimeFieldTest, RefusesInvalidValuesAndTheOtherMode)
{
    DateTimeField date(DateTimeField::Date);
    ASSERT_TRUE(date.selectDate(QDate(2023, 1, 31)));
    EXPECT_FALSE(date.selectDate(QDate(2023, 2, 30)));
    EXPECT_FALSE(date.selectTime(QTime(10, 0)));
    EXPECT_EQ(date.wheelDate(), QDate(2023, 1, 31));

    DateTimeField time(DateTimeField::Time);
    ASSERT_TRUE(time.selectTime(QTime(3, 0)));
    EXPECT_FALSE(time.selectTime(QTime(25, 0)));
    EXPECT_FALSE(time.selectDate(QDate(2023, 1, 1)));
    EXPECT_EQ(time.wheelTime(), QTime(3, 0));
}

} // namespace
