#pragma once

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>
#include <QUrl>

/// The places the chooser offers on its side: the user's standard folders, the GTK bookmarks
/// that the desktop's own file dialogs share, and mounted drives. Each of them is looked at on
/// disk, which can hang on a network mount, so they are gathered on a worker thread and arrive
/// in one reset.
class Places : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role
    {
        NameRole = Qt::UserRole + 1,
        UrlRole,
        IconRole,
    };

    struct Place
    {
        QString name;
        QUrl url;
        /// A Theme icon name.
        QString icon;

        bool operator==(const Place &) const = default;
    };

    /// Starts gathering the places at once.
    explicit Places(QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;
    [[nodiscard]] int count() const { return int(m_places.size()); }

    /// The URL of the place at `row`, or an empty URL.
    [[nodiscard]] Q_INVOKABLE QUrl urlAt(int row) const;
    /// Gathers the places again, for drives mounted or bookmarks made since.
    Q_INVOKABLE void refresh();

Q_SIGNALS:
    void countChanged();

private:
    void take(quint64 generation, QList<Place> places);

    QList<Place> m_places;
    quint64 m_generation = 0;
};
