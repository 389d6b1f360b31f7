#pragma once

#include "resolutionpreset.h"

#include <QAbstractListModel>
#include <QSortFilterProxyModel>

#include <optional>

class SettingsStore;

/// The stored presets as rows, in their stored order, for the preset menu. Follows the store:
/// an added preset is one inserted row, a removed one a removed row, and a new selection
/// changes the selection role only.
class PresetListModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role
    {
        IdRole = Qt::UserRole + 1,
        NameRole,
        SizeTextRole,
        /// "Name  ·  size", as the menu shows it
        EntryTextRole,
        PreserveOriginalRole,
        IsSelectedRole,
    };
    Q_ENUM(Role)

    explicit PresetListModel(SettingsStore *store, QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;
    [[nodiscard]] int count() const { return static_cast<int>(m_presets.size()); }

Q_SIGNALS:
    void countChanged();

private:
    /// Brings the rows in line with the store.
    void follow();

    SettingsStore *m_store;
    QList<ResolutionPreset> m_presets;
    std::optional<QUuid> m_selected;
};

/// The presets that can be removed: all but those that keep the original size.
class RemovablePresetsModel : public QSortFilterProxyModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    explicit RemovablePresetsModel(PresetListModel *presets, QObject *parent = nullptr);
    [[nodiscard]] int count() const { return rowCount(); }

Q_SIGNALS:
    void countChanged();

protected:
    [[nodiscard]] bool filterAcceptsRow(int sourceRow,
                                        const QModelIndex &sourceParent) const override;
};
