#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <initializer_list>

/// Points the preferences store at a fresh temporary folder for the life of the object, so that
/// a test never reads or writes the user's own settings. Create it before any converter.
class TemporaryPreferences
{
public:
    TemporaryPreferences();

    [[nodiscard]] QVariant value(const QString &key) const;
    void setValue(const QString &key, const QVariant &value);

private:
    QTemporaryDir m_dir;
};

/// Adds the rows of a table in tests/data to the current `_data()` function. One row a line,
/// fields separated by `|` and trimmed, the first naming the row; blank lines and lines that
/// start with `#` are left out. Every column holds text.
void addRowsFrom(const char *file, std::initializer_list<const char *> columns);
