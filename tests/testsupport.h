#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QVariant>

#include <array>
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

/// The current row's text in each of `columns` of a table read by addRowsFrom, in that order:
/// `const auto [name, size] = fields("name", "size");`.
template <typename... Columns>
[[nodiscard]] std::array<QString, sizeof...(Columns)> fields(Columns... columns)
{
    return {*static_cast<QString *>(QTest::qData(columns, QMetaType::QString))...};
}

/// Creates empty files (and their folders) named `names` in `folder` and returns where they are;
/// nothing when one of them could not be made.
[[nodiscard]] QList<QUrl> touch(const QString &folder, const QStringList &names);

/// Writes an executable shell script `name` into `folder` and returns its path.
[[nodiscard]] QString script(const QString &folder, const QString &name, const QString &body);
