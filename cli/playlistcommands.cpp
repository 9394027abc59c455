// The play list of a window and what it plays, and the server's own files.
#include "clicall.h"
#include "clivalue.h"
#include "commandlist.h"

#include "net/qvmethodlib.h"
#include "net/requestsender.h"
#include "protocol/catalogue.h"
#include "protocol/frame.h"
#include "protocol/hexcodec.h"
#include "protocol/playlistcommands.h"

#include <QJsonArray>

namespace {

// The play control screen's volume slider runs from 0 to 10.
constexpr int kMaxWindowVolume = 10;
// Entries are numbered from 1 as the lists show them; frames carry 2 bytes from 0.
constexpr qint64 kMaxEntry = 65536;

const QStringList kOrders{QStringLiteral("play"), QStringLiteral("previous"), QStringLiteral("pause"),
                          QStringLiteral("stop"), QStringLiteral("next")};
const QStringList kModes{QStringLiteral("loop"), QStringLiteral("random"), QStringLiteral("order"), QStringLiteral("one")};

QString code(int value)
{
    return HexCodec::TenToHexForTwo(value);
}

struct Entry
{
    QString path;
    bool checked = false;
    int volume = 0;
};

// The play list of every target's window; nothing for a target that failed.
QList<std::optional<QList<Entry>>> askPlayList(CliCall &c)
{
    const QString entryCode = QLatin1String(Catalogue::kPlayListReply.codeText);
    const QString emptyCode = QLatin1String(Catalogue::kPlayListCountReply.codeText);
    const CliExpect expect{QStringLiteral("the play list query"), {entryCode, emptyCode}, [emptyCode](const QString &reply) {
                               return reply.startsWith(emptyCode) || PlayListCommands::isLastOfSequence(reply);
                           }};
    QList<std::optional<QList<Entry>>> out(c.targets().size());
    const auto read = [&](CliTarget &t, const QStringList &replies) {
        QList<Entry> entries;
        for (const QString &reply : replies) {
            if (reply.startsWith(emptyCode))
                break;
            const auto e = PlayListCommands::getPlayControlListInfoWithModelNotice(reply);
            if (!e) {
                t.fail(QStringLiteral("unreadable entry in the play list"));
                break;
            }
            entries.append(Entry{e->value(QStringLiteral("filesContent")), e->value(QStringLiteral("isEntry")).toInt() != 0,
                                 e->value(QStringLiteral("vedioYinliang")).toInt()});
        }
        if (!t.failed())
            out[c.indexOf(t)] = entries;
    };
    c.queryEach(expect, [](CliTarget &t) { QVmethodLib::getPlayControlListInfoWithWindowID(t.window); }, read);
    return out;
}

int playlist(CliCall &c)
{
    if (!c.args().isEmpty())
        return c.usage(QStringLiteral("playlist takes no arguments; the window is --window"));
    if (!c.connect())
        return c.status();
    const auto lists = askPlayList(c);
    c.eachRunning([&](qsizetype i, CliTarget &t) {
        QJsonArray entries;
        QStringList names;
        int row = 0;
        for (const Entry &e : *lists[i]) {
            ++row;
            t.lines << QStringLiteral("%1 [%2] %3").arg(row, 3).arg(e.checked ? QLatin1Char('x') : QLatin1Char(' ')).arg(e.path);
            entries.append(QJsonObject{{QStringLiteral("number"), row}, {QStringLiteral("path"), e.path},
                                       {QStringLiteral("checked"), e.checked}});
            names << PlayListCommands::fileNameOfPath(e.path);
        }
        // Every entry carries the window's volume; the newest one counts, as on the play control screen.
        if (!lists[i]->isEmpty())
            t.record(QStringLiteral("volume"), lists[i]->last().volume);
        t.record(QStringLiteral("entries"), entries);
        t.summary = QStringLiteral("%1 entries%2%3").arg(row).arg(names.isEmpty() ? QString() : QStringLiteral(": "), names.join(QLatin1String(", ")));
        if (row == 0)
            t.lines << QStringLiteral("(the play list of window %1 is empty)").arg(t.window);
        t.succeed();
    });
    return c.finish();
}

int play(CliCall &c)
{
    if (c.args().size() != 1)
        return c.usage(QStringLiteral("give the number of the entry to play (as playlist shows it)"));
    const auto n = c.number(c.args().first(), QStringLiteral("the entry number"), 1, kMaxEntry);
    if (!n || !c.connect())
        return c.status();
    // As a tap on the row does: play it, and check it when it was not.
    const auto lists = askPlayList(c);
    c.hand(QStringLiteral("play entry %1 sent").arg(*n), [&](CliTarget &t) {
        const QList<Entry> &entries = *lists[c.indexOf(t)];
        if (*n > entries.size()) {
            t.fail(QStringLiteral("there is no entry %1; the play list has %2").arg(*n).arg(entries.size()));
            return false;
        }
        const QString index = HexCodec::TenToHex(*n - 1);
        QVmethodLib::getVedioSiglePlayWithVedioIndexHex(index, t.window);
        if (!entries.at(*n - 1).checked)
            QVmethodLib::sendFielsToListWithVedioIndexHex(index, QStringLiteral("01"), t.window);
        return true;
    });
    return c.finish();
}

int control(CliCall &c)
{
    if (c.args().size() != 1)
        return c.usage(QStringLiteral("give one of %1").arg(kOrders.join(QLatin1String(", "))));
    const auto order = c.choice(c.args().first(), QStringLiteral("the order"), kOrders);
    if (!order || !c.connect())
        return c.status();
    c.hand(QStringLiteral("%1 sent").arg(kOrders.at(*order)), [&](CliTarget &t) {
        QVmethodLib::sendPlayWithWindowID(t.window, code(*order));
        return true;
    });
    return c.finish();
}

int mode(CliCall &c)
{
    if (c.args().size() != 1)
        return c.usage(QStringLiteral("give one of %1").arg(kModes.join(QLatin1String(", "))));
    const auto m = c.choice(c.args().first(), QStringLiteral("the play mode"), kModes);
    if (!m || !c.connect())
        return c.status();
    c.hand(QStringLiteral("mode %1 sent").arg(kModes.at(*m)), [&](CliTarget &t) {
        QVmethodLib::sendChangePlayModelWithWindowID(t.window, code(*m));
        return true;
    });
    return c.finish();
}

int check(CliCall &c)
{
    if (c.args().size() != 2)
        return c.usage(QStringLiteral("give the entry number and on or off"));
    const auto n = c.number(c.args().at(0), QStringLiteral("the entry number"), 1, kMaxEntry);
    if (!n)
        return c.status();
    const auto on = c.onOff(c.args().at(1), QStringLiteral("the check state"));
    if (!on || !c.connect())
        return c.status();
    c.hand(QStringLiteral("entry %1 %2 sent").arg(*n).arg(*on ? QStringLiteral("checked") : QStringLiteral("unchecked")),
           [&](CliTarget &t) {
               QVmethodLib::sendFielsToListWithVedioIndexHex(HexCodec::TenToHex(*n - 1),
                                                              *on ? QStringLiteral("01") : QStringLiteral("00"), t.window);
               return true;
           });
    return c.finish();
}

int windowVolume(CliCall &c)
{
    if (c.args().size() != 1)
        return c.usage(QStringLiteral("give the window's volume, 0-%1").arg(kMaxWindowVolume));
    const auto v = c.number(c.args().first(), QStringLiteral("the window volume"), 0, kMaxWindowVolume);
    if (!v || !c.connect())
        return c.status();
    c.hand(QStringLiteral("window volume %1 sent").arg(*v), [&](CliTarget &t) {
        RequestSender::shared().send(PlayListCommands::windowVolume(t.window, *v));
        return true;
    });
    return c.finish();
}

int deleteEntry(CliCall &c)
{
    if (c.args().size() != 1)
        return c.usage(QStringLiteral("give the number of the entry to delete"));
    const auto n = c.number(c.args().first(), QStringLiteral("the entry number"), 1, kMaxEntry);
    if (!n || !c.connect())
        return c.status();
    const bool withFile = c.isSet(QStringLiteral("with-file"));
    c.hand(QStringLiteral("delete entry %1%2 sent").arg(*n).arg(withFile ? QStringLiteral(" and its file") : QString()),
           [&](CliTarget &t) {
               RequestSender::shared().send(PlayListCommands::deleteEntry(t.window, *n - 1, withFile));
               return true;
           });
    return c.finish();
}

int clear(CliCall &c)
{
    if (!c.args().isEmpty())
        return c.usage(QStringLiteral("clear takes no arguments; the window is --window"));
    if (!c.connect())
        return c.status();
    c.hand(QStringLiteral("clear sent"), [](CliTarget &t) {
        RequestSender::shared().send(PlayListCommands::clearPlayList(t.window));
        return true;
    });
    return c.finish();
}

// The files stored on every target; nothing for a target that failed.
QList<std::optional<QList<QMap<QString, QString>>>> askFiles(CliCall &c)
{
    CliExpect expect{QStringLiteral("the server files query"),
                     {QLatin1String(Catalogue::kDeviceFilesReply.codeText)},
                     [](const QString &reply) { return PlayListCommands::isLastOfSequence(reply); }};
    // A server without files does not answer at all.
    expect.silentWhenEmpty = true;
    QList<std::optional<QList<QMap<QString, QString>>>> out(c.targets().size());
    const auto read = [&](CliTarget &t, const QStringList &replies) {
        QList<QMap<QString, QString>> files;
        for (const QString &reply : replies) {
            const auto f = PlayListCommands::getDeviceFilesListInfoWithModelNotice(reply);
            if (!f) {
                t.fail(QStringLiteral("unreadable entry in the server's files"));
                break;
            }
            files.append(*f);
        }
        if (!t.failed())
            out[c.indexOf(t)] = files;
    };
    c.queryEach(expect, [](CliTarget &) { QVmethodLib::getDeviceFilesInfo(); }, read);
    return out;
}

int files(CliCall &c)
{
    if (!c.args().isEmpty())
        return c.usage(QStringLiteral("files takes no arguments"));
    if (!c.connect())
        return c.status();
    const auto lists = askFiles(c);
    c.eachRunning([&](qsizetype i, CliTarget &t) {
        QJsonArray array;
        QStringList names;
        for (const auto &f : *lists[i]) {
            const QString path = PlayListCommands::readableFileName(f.value(QStringLiteral("filesContentHex")));
            t.lines << path;
            array.append(path);
            names << path;
        }
        t.record(QStringLiteral("files"), array);
        t.summary = QStringLiteral("%1 files%2%3").arg(names.size()).arg(names.isEmpty() ? QString() : QStringLiteral(": "), names.join(QLatin1String(", ")));
        t.succeed();
    });
    return c.finish();
}

int append(CliCall &c)
{
    if (c.args().isEmpty())
        return c.usage(QStringLiteral("give the server files to append (as files shows them, or their names)"));
    if (!c.connect())
        return c.status();
    // The server's list gives the names exactly as it wants them back.
    const auto lists = askFiles(c);
    c.hand(QStringLiteral("append %1 sent").arg(c.args().join(QLatin1String(", "))), [&](CliTarget &t) {
        const auto &files = *lists[c.indexOf(t)];
        QVariantList chosen;
        for (const QString &wanted : c.args()) {
            const auto match = std::find_if(files.cbegin(), files.cend(), [&wanted](const QMap<QString, QString> &f) {
                const QString path = f.value(QStringLiteral("filesContent"));
                return path == wanted || PlayListCommands::fileNameOfPath(path) == wanted;
            });
            if (match == files.cend()) {
                t.fail(QStringLiteral("the server has no file \"%1\"").arg(wanted));
                return false;
            }
            QVariantMap entry;
            for (auto it = match->cbegin(); it != match->cend(); ++it)
                entry.insert(it.key(), it.value());
            chosen << entry;
        }
        QVmethodLib::addPlayFiletoPlayListWithChooseListArray(chosen, t.window);
        return true;
    });
    return c.finish();
}

} // namespace

QList<CliCommand> playListCommands()
{
    QList<CliCommand> list{
        cliCommand("playlist", "", "Show the play list of --window.", false, playlist,
                   "One line per entry: its number (as play, check and delete take it), [x] when checked, its path."),
        cliCommand("play", "N", "Play entry N of the play list (and check it).", true, play,
                   "Reads the play list first: N must be one of its entries. Like a tap on the row, an unchecked\n"
                   "entry is also checked."),
        cliCommand("control", "play|pause|stop|next|previous", "Play control of --window.", true, control),
        cliCommand("mode", "loop|random|order|one", "Set the play mode of --window.", true, mode),
        cliCommand("check", "N on|off", "Check or uncheck entry N of the play list.", true, check),
        cliCommand("window-volume", "N", "Set the volume of --window (0-10).", true, windowVolume),
        cliCommand("delete", "N", "Remove entry N from the play list.", true, deleteEntry, "",
                   {cliOption("with-file", "", "Also delete the file on the server.")}),
        cliCommand("clear", "", "Empty the play list of --window.", true, clear),
        cliCommand("files", "", "List the files stored on the server.", false, files),
        cliCommand("append", "NAME...", "Append server files to the play list of --window.", true, append,
                   "Reads the server's files first; each NAME is a path as files shows it, or the part after its\n"
                   "last \"/\"."),
    };
    for (CliCommand &c : list)
        c.usesWindow = c.name != QLatin1String("files");
    return list;
}
