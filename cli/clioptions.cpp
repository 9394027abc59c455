#include "clioptions.h"

namespace {
const CliOption *byName(const QList<CliOption> &options, const QString &name)
{
    for (const CliOption &o : options)
        if (o.name == name)
            return &o;
    return nullptr;
}

const CliOption *byShort(const QList<CliOption> &options, QChar c)
{
    for (const CliOption &o : options)
        if (!o.shortName.isNull() && o.shortName == c)
            return &o;
    return nullptr;
}

bool looksLikeNumber(const QString &word)
{
    return word.size() > 1 && word.at(0) == QLatin1Char('-') && word.at(1).isDigit();
}
}

CliOptions CliOptions::parse(const QStringList &args, const QList<CliOption> &options)
{
    CliOptions out;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &word = args.at(i);
        if (word == QLatin1String("--")) {
            out.m_positionals += args.mid(i + 1);
            break;
        }
        if (!word.startsWith(QLatin1Char('-')) || word == QLatin1String("-") || looksLikeNumber(word)) {
            out.m_positionals.append(word);
            continue;
        }
        const CliOption *option = nullptr;
        QString inlineValue;
        bool hasInline = false;
        if (word.startsWith(QLatin1String("--"))) {
            QString name = word.mid(2);
            const qsizetype eq = name.indexOf(QLatin1Char('='));
            if (eq >= 0) {
                inlineValue = name.mid(eq + 1);
                hasInline = true;
                name.truncate(eq);
            }
            option = byName(options, name);
        } else {
            option = byShort(options, word.at(1));
            if (word.size() > 2) {
                inlineValue = word.mid(2);
                hasInline = true;
            }
        }
        if (!option) {
            out.m_error = QStringLiteral("unknown option %1").arg(word);
            return out;
        }
        if (option->valueName.isEmpty()) {
            if (hasInline) {
                out.m_error = QStringLiteral("option --%1 takes no value").arg(option->name);
                return out;
            }
            out.m_values.insert(option->name, QString());
            continue;
        }
        if (!hasInline) {
            if (i + 1 >= args.size()) {
                out.m_error = QStringLiteral("option --%1 needs a value (%2)").arg(option->name, option->valueName);
                return out;
            }
            inlineValue = args.at(++i);
        }
        out.m_values.insert(option->name, inlineValue);
    }
    return out;
}
