#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

/// Points the preferences store at a fresh temporary folder for the life of the object, so that
/// a test never reads or writes the user's own settings. Create it before any converter.
class TemporaryPreferences
{
public:
    TemporaryPreferences();
    ~TemporaryPreferences();

    [[nodiscard]] QVariant value(const QString &key) const;
    void setValue(const QString &key, const QVariant &value);
    void remove(const QString &key);

private:
    QTemporaryDir m_dir;
};
