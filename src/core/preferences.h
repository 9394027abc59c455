#pragma once

#include <QSettings>
#include <QString>
#include <memory>

// The persistent key-value preferences. Values are text; every write is
// saved at once and no key is ever removed.
class Preferences
{
public:
    explicit Preferences(const QString &file);

    QString string(const QString &key) const;     // empty when missing
    bool contains(const QString &key) const;
    qint64 integer(const QString &key) const;     // leading integer of the text, 0 when none
    void setString(const QString &key, const QString &value);
    QString fileName() const;

private:
    std::unique_ptr<QSettings> m_settings;
};
