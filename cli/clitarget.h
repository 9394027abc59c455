#pragma once

#include "session/deviceinfo.h"

#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// One server a command acts on, and what came of it. A command fills the
// outcome; the call prints it (one line per server under --all).
struct CliTarget
{
    DeviceInfo device;    // deviceIp always; name, windows, id when a scan saw it
    QString window;       // the window id the command acts on, 2 hex digits
    bool seen = false;    // its announcement was received in this run

    // Refused: a value that only this server's announcement or reply could
    // check did not fit it, and nothing was sent to change it.
    enum class State { Pending, Ok, Failed, Refused };
    State state = State::Pending;
    QString error;
    QString summary;                       // one line
    QList<QPair<QString, QString>> fields; // "key: value" rows
    QStringList lines;                     // list rows (play list, files, ...)
    QJsonObject json;

    QString address() const { return device.deviceIp; }
    QString name() const { return device.deviceName; }
    bool failed() const { return state == State::Failed || state == State::Refused; }
    bool refused() const { return state == State::Refused; }
    bool pending() const { return state == State::Pending; }

    // The first failure is what the line reports.
    void fail(const QString &why) { failAs(State::Failed, why); }
    void refuse(const QString &why) { failAs(State::Refused, why); }
    void failLike(const CliTarget &other)
    {
        if (other.failed())
            failAs(other.state, other.error);
    }
    void succeed(const QString &line = QString())
    {
        if (failed())
            return;
        state = State::Ok;
        if (!line.isEmpty())
            summary = line;
    }
    void field(const QString &key, const QString &value, const QJsonValue &jsonValue)
    {
        fields.append({key, value});
        record(key, jsonValue);
    }
    void field(const QString &key, const QString &value) { field(key, value, value); }
    // A key of the JSON record only. The envelope's keys stay the envelope's.
    void record(const QString &key, const QJsonValue &value)
    {
        Q_ASSERT_X(!envelopeKeys().contains(key), "CliTarget::record", qPrintable(key));
        json.insert(key, value);
    }
    static QStringList envelopeKeys()
    {
        return {QStringLiteral("server"), QStringLiteral("ok"), QStringLiteral("error"), QStringLiteral("result")};
    }

private:
    void failAs(State kind, const QString &why)
    {
        if (failed())
            return;
        error = why;
        state = kind;
    }
};
