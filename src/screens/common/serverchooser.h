#pragma once

#include "session/deviceinfo.h"

#include <QList>
#include <QObject>

class PickerField;

// The "选择设备" field the settings screens share: a picker of the known
// servers. Choosing one makes it the selected server of the session, so it
// receives every later command of every screen until another is chosen.
class ServerChooser : public QObject
{
    Q_OBJECT

public:
    explicit ServerChooser(int tag, QObject *parent = nullptr);

    PickerField *field() const { return m_field; }
    QList<DeviceInfo> shebeiArray() const { return m_shebeiArray; }

    // Reloads the known servers and shows the first. Only fills the field:
    // the selected server stays the one chosen before.
    void load();
    // Makes the server of the row the field applied the selected one.
    // False, and nothing changes, when no row was applied (an empty list).
    bool choose();

private:
    PickerField *m_field;
    QList<DeviceInfo> m_shebeiArray;
};
