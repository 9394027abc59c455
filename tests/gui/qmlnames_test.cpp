// Names in the QML files that can resolve to something else than meant.
// An id named like a property of an item ("layer", "row", "right") loses to
// that property inside the items that have it, and a delegate then talks to
// the wrong object without a word: the dialogs once answered Item.layer
// instead of the layer of questions, and rows once compared an item with 0.
// qmllint sees neither, so the files are read here.
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// Properties of Qt Quick's items, controls, views and pop-ups that a
// binding reaches without a qualifier.
const QSet<QString> kItemProperties{
    "action",   "anchors",    "antialiasing", "background", "bottom",       "checked",   "children",
    "clip",     "contentItem", "count",       "currentIndex", "currentItem", "data",     "down",
    "enabled",  "focus",      "font",         "height",     "highlighted",  "icon",      "index",
    "layer",    "left",       "model",        "modelData",  "opacity",      "padding",   "palette",
    "parent",   "pressed",    "right",        "rotation",   "scale",        "section",   "smooth",
    "spacing",  "state",      "states",       "text",       "title",        "top",       "transform",
    "transitions", "view",    "visible",      "width",      "x",            "y",         "z",
};

struct Finding
{
    QString file;
    QString message;
};

QList<Finding> check(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {{path, QStringLiteral("cannot be read")}};
    QString text = QString::fromUtf8(f.readAll());
    text.remove(QRegularExpression(QStringLiteral("//[^\n]*"))); // comments say anything

    QSet<QString> ids;
    static const QRegularExpression idRe(QStringLiteral("\\bid:\\s*(\\w+)"));
    for (auto it = idRe.globalMatch(text); it.hasNext();)
        ids.insert(it.next().captured(1));
    QSet<QString> declared;
    static const QRegularExpression propertyRe(QStringLiteral("\\bproperty\\s+[\\w.<>]+\\s+(\\w+)"));
    for (auto it = propertyRe.globalMatch(text); it.hasNext();)
        declared.insert(it.next().captured(1));

    QList<Finding> out;
    for (const QString &id : std::as_const(ids)) {
        if (kItemProperties.contains(id))
            out.append({path, QStringLiteral("id \"%1\" is also a property of Qt Quick's items").arg(id)});
        if (declared.contains(id))
            out.append({path, QStringLiteral("id \"%1\" is also a property declared in the file").arg(id)});
    }
    return out;
}

TEST(QmlNamesTest, NoIdCanBeTakenForAProperty)
{
    int files = 0;
    QList<Finding> findings;
    for (QDirIterator it(QStringLiteral(QEVA_QML_SOURCE_DIR), {QStringLiteral("*.qml")}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        findings += check(it.next());
        ++files;
    }
    EXPECT_GT(files, 20);
    for (const Finding &f : std::as_const(findings))
        ADD_FAILURE() << f.file.toStdString() << ": " << f.message.toStdString();
}

TEST(QmlNamesTest, TheCheckCatchesTheShapesItIsFor)
{
    const QString dir = QDir::tempPath() + QStringLiteral("/qmlnames_%1").arg(QCoreApplication::applicationPid());
    QDir().mkpath(dir);
    struct Case
    {
        const char *qml;
        int findings;
    };
    const Case cases[] = {
        {"Item { id: layer; Repeater { Button { onClicked: layer.answer(0) } } }", 1},
        {"Rectangle { id: row\n required property int row\n color: row < 0 ? 'a' : 'b' }", 1},
        {"Item { id: alertLayer; property int row // id: layer\n }", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.qml);
        QFile f(dir + QStringLiteral("/Probe.qml"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.qml);
        f.close();
        EXPECT_EQ(check(f.fileName()).size(), c.findings);
    }
    QDir(dir).removeRecursively();
}

} // namespace
