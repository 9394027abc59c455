// The English translation of the UI: every text of the code is in it and
// translated, with the placeholders of its source; nothing stale stays.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

const QString kTsFile = QStringLiteral(QEVA_SOURCE_DIR "/translations/qeva-remote_en.ts");

struct Entry
{
    QString context;
    QString source;
    QString type; // the translation's type: "", "unfinished", "vanished", "obsolete"
    bool numerus = false;
    QStringList forms; // one translation, or the numerus forms
};

QList<Entry> readTs(const QString &path, QString *error)
{
    QList<Entry> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1").arg(path);
        return out;
    }
    QXmlStreamReader xml(&f);
    QString context;
    Entry entry;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            entry = Entry{context, {}, {}, xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes"), {}};
        } else if (name == QLatin1String("source")) {
            entry.source = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            entry.type = xml.attributes().value(QLatin1String("type")).toString();
            if (entry.numerus) {
                while (xml.readNextStartElement())
                    entry.forms << xml.readElementText();
            } else {
                entry.forms << xml.readElementText();
            }
            out << entry;
        }
    }
    if (xml.hasError())
        *error = QStringLiteral("%1: %2").arg(path, xml.errorString());
    return out;
}

QStringList placeholders(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("%(\\d+|n)"));
    QStringList out;
    for (auto it = re.globalMatch(text); it.hasNext();)
        out << it.next().captured(0);
    out.sort();
    out.removeDuplicates();
    return out;
}

// What is wrong with the entries, one line each.
QStringList problems(const QList<Entry> &entries)
{
    QStringList out;
    QSet<QString> seen;
    for (const Entry &e : entries) {
        const QString where = e.context + QStringLiteral(" \"") + e.source + QLatin1Char('"');
        if (seen.contains(where))
            out << QStringLiteral("twice: ") + where;
        seen.insert(where);
        if (!e.type.isEmpty()) {
            out << e.type + QStringLiteral(": ") + where;
            continue;
        }
        if (e.numerus && e.forms.size() < 2)
            out << QStringLiteral("English needs a singular and a plural: ") + where;
        for (const QString &form : e.forms) {
            if (form.trimmed().isEmpty())
                out << QStringLiteral("empty: ") + where;
            else if (placeholders(form) != placeholders(e.source))
                out << QStringLiteral("placeholders differ in \"%1\": ").arg(form) + where;
        }
    }
    return out;
}

QString ts(const char *messages)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
                          "<TS version=\"2.1\" language=\"en\" sourcelanguage=\"zh_CN\">\n"
                          "<context><name>Probe</name>%1</context></TS>\n")
        .arg(QString::fromUtf8(messages));
}

TEST(TranslationsTest, TheCheckFindsEachKindOfFault)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case
    {
        const char *what;
        const char *messages;
        const char *problem; // the start of the one problem; empty: none
    };
    const Case cases[] = {
        {"translated", "<message><source>地址：%1</source><translation>Address: %1</translation></message>", ""},
        {"not yet translated",
         "<message><source>扫描</source><translation type=\"unfinished\"></translation></message>", "unfinished"},
        {"gone from the code", "<message><source>扫描</source><translation type=\"vanished\">Scan</translation></message>",
         "vanished"},
        {"empty", "<message><source>扫描</source><translation> </translation></message>", "empty"},
        {"a placeholder lost", "<message><source>地址：%1</source><translation>Address</translation></message>",
         "placeholders differ"},
        {"a placeholder made up", "<message><source>地址</source><translation>Address %1</translation></message>",
         "placeholders differ"},
        {"one form of a count",
         "<message numerus=\"yes\"><source>%n台</source><translation><numerusform>%n server</numerusform>"
         "</translation></message>",
         "English needs"},
        {"a count without its number",
         "<message numerus=\"yes\"><source>%n台</source><translation><numerusform>%n server</numerusform>"
         "<numerusform>servers</numerusform></translation></message>",
         "placeholders differ"},
        {"the same text twice",
         "<message><source>扫描</source><translation>Scan</translation></message>"
         "<message><source>扫描</source><translation>Scan</translation></message>",
         "twice"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QFile f(dir.filePath(QStringLiteral("probe.ts")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(ts(c.messages).toUtf8());
        f.close();
        QString error;
        const QStringList found = problems(readTs(f.fileName(), &error));
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        if (!*c.problem) {
            EXPECT_TRUE(found.isEmpty()) << found.join('\n').toStdString();
        } else {
            ASSERT_EQ(found.size(), 1) << found.join('\n').toStdString();
            EXPECT_TRUE(found.first().startsWith(QLatin1String(c.problem))) << found.first().toStdString();
        }
    }
}

TEST(TranslationsTest, EveryTextOfTheCodeHasItsEnglish)
{
    QString error;
    const QList<Entry> stored = readTs(kTsFile, &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_FALSE(stored.isEmpty());
    const QStringList storedProblems = problems(stored);
    EXPECT_TRUE(storedProblems.isEmpty()) << storedProblems.join('\n').toStdString();

    // lupdate over the code as the build runs it, into a copy: a text the
    // file lacks comes in unfinished, one the code dropped goes.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString copy = dir.filePath(QStringLiteral("qeva-remote_en.ts"));
    ASSERT_TRUE(QFile::copy(kTsFile, copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    QStringList arguments = QStringLiteral(QEVA_LUPDATE_OPTIONS).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    arguments << QStringLiteral("-extensions") << QStringLiteral("cpp,h,qml")
              << QStringLiteral(QEVA_SOURCE_DIR "/src") << QStringLiteral(QEVA_SOURCE_DIR "/qml")
              << QStringLiteral("-ts") << copy;
    QProcess lupdate;
    lupdate.start(QStringLiteral(QEVA_LUPDATE), arguments);
    ASSERT_TRUE(lupdate.waitForFinished(120000));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();

    const QList<Entry> current = readTs(copy, &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    const QStringList added = problems(current);
    EXPECT_TRUE(added.isEmpty()) << "texts of the code without English (ninja update_translations, then translate them):\n"
                                 << added.join('\n').toStdString();
    QSet<QString> now;
    for (const Entry &e : current)
        now.insert(e.context + QLatin1Char('/') + e.source);
    for (const Entry &e : stored)
        EXPECT_TRUE(now.contains(e.context + QLatin1Char('/') + e.source))
            << "no longer in the code (ninja update_translations drops it): " << e.context.toStdString() << " \""
            << e.source.toStdString() << '"';
}

} // namespace
