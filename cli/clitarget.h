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

    enum class State { Pending, Ok, Failed };
    State state = State::Pending;
    QString error;
    QString summary;                       // one line
    QList<QPair<QString, QString>> fields; // "key: value" rows
    QStringList lines;                     // list rows (play list, files, ...)
    QJsonObject json;

    QString address() const { return device.deviceIp; }
    QString name() const { return device.deviceName; }
    bool failed() const { return state == State::Failed; }
    bool pending() const { return state == State::Pending; }

    // The first failure is what the line reports.
    void fail(const QString &why)
    {
        if (state != State::Failed)
            error = why;
        state = State::Failed;
    }
    void succeed(const QString &line = QString())
    {
        if (state == State::Failed)
            return;
        state = State::Ok;
        if (!line.isEmpty())
            summary = line;
    }
    void field(const QString &key, const QString &value, const QJsonValue &jsonValue)
    {
        fields.append({key, value});
        json.insert(key, jsonValue);
    }
    void field(const QString &key, const QString &value) { field(key, value, value); }
};
