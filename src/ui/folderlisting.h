#pragma once

#include <QAbstractListModel>
#include <QStringList>
#include <QtQml/qqmlregistration.h>
#include <QUrl>

/// The folders (and, when asked, the image files) of one folder for the chooser, folders
/// first, each group in the walk's natural order ("img2" before "img10"), hidden entries left out.
/// The folder is read on a worker thread; the rows arrive in one reset.
class FolderListing : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QUrl folder READ folder WRITE setFolder NOTIFY folderChanged)
    Q_PROPERTY(QUrl parentFolder READ parentFolder NOTIFY folderChanged)
    Q_PROPERTY(bool showFiles READ showFiles WRITE setShowFiles NOTIFY showFilesChanged)
    Q_PROPERTY(
        QStringList nameFilters READ nameFilters WRITE setNameFilters NOTIFY nameFiltersChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role
    {
        FileNameRole = Qt::UserRole + 1,
        FileUrlRole,
        FileIsDirRole,
    };

    struct Entry
    {
        QString name;
        bool isDir = false;
    };

    explicit FolderListing(QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] QUrl folder() const { return m_folder; }
    void setFolder(const QUrl &folder);
    [[nodiscard]] QUrl parentFolder() const;
    [[nodiscard]] bool showFiles() const { return m_showFiles; }
    void setShowFiles(bool showFiles);
    [[nodiscard]] QStringList nameFilters() const { return m_nameFilters; }
    void setNameFilters(const QStringList &filters);
    [[nodiscard]] int count() const { return int(m_entries.size()); }

    /// The URL of the entry at `row`, or an empty URL.
    [[nodiscard]] Q_INVOKABLE QUrl urlAt(int row) const;
    [[nodiscard]] Q_INVOKABLE bool isDirAt(int row) const;
    /// The row of the entry called `name`, or -1.
    [[nodiscard]] Q_INVOKABLE int rowOf(const QString &name) const;
    /// The first row whose name starts with `prefix`, ignoring case, or -1: where typing a name's
    /// first letters goes.
    [[nodiscard]] Q_INVOKABLE int rowStartingWith(const QString &prefix) const;
    /// Reads the folder again.
    Q_INVOKABLE void refresh();

Q_SIGNALS:
    void folderChanged();
    void showFilesChanged();
    void nameFiltersChanged();
    void countChanged();

private:
    void take(quint64 generation, QList<Entry> entries);

    QUrl m_folder;
    bool m_showFiles = true;
    QStringList m_nameFilters;
    QList<Entry> m_entries;
    quint64 m_generation = 0;
};
