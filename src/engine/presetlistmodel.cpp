#include "presetlistmodel.h"

#include "settingsstore.h"

PresetListModel::PresetListModel(SettingsStore *store, QObject *parent)
    : QAbstractListModel(parent)
    , m_store(store)
    , m_presets(store->settings().presets)
    , m_selected(store->settings().selectedPresetID)
{
    connect(m_store, &SettingsStore::changed, this, &PresetListModel::follow);
}

int PresetListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant PresetListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ResolutionPreset &preset = m_presets.at(index.row());
    switch (role) {
    case IdRole:
        return preset.id.toString(QUuid::WithoutBraces);
    case Qt::DisplayRole:
    case NameRole:
        return preset.name;
    case SizeTextRole:
        return preset.sizeText();
    case EntryTextRole:
        return preset.entryText();
    case PreserveOriginalRole:
        return preset.preserveOriginal;
    case IsSelectedRole:
        return m_selected == preset.id;
    default:
        return {};
    }
}

QHash<int, QByteArray> PresetListModel::roleNames() const
{
    return {{IdRole, "presetId"},
            {NameRole, "name"},
            {SizeTextRole, "sizeText"},
            {EntryTextRole, "entryText"},
            {PreserveOriginalRole, "preserveOriginal"},
            {IsSelectedRole, "isSelected"}};
}

void PresetListModel::follow()
{
    const QList<ResolutionPreset> &stored = m_store->settings().presets;
    const std::optional<QUuid> selected = m_store->settings().selectedPresetID;
    const int before = count();
    // Presets change one at a time: a removal, an insertion (an undo puts one back where it
    // was), or an edit in place. Anything else is followed by a reset.
    if (stored.size() == m_presets.size() - 1 || stored.size() == m_presets.size() + 1) {
        const bool removal = stored.size() < m_presets.size();
        const QList<ResolutionPreset> &longer = removal ? m_presets : stored;
        const QList<ResolutionPreset> &shorter = removal ? stored : m_presets;
        qsizetype row = 0;
        while (row < shorter.size() && shorter.at(row).id == longer.at(row).id)
            ++row;
        QList<ResolutionPreset> rest = longer;
        rest.removeAt(row);
        if (std::equal(rest.cbegin(), rest.cend(), shorter.cbegin(), shorter.cend(),
                       [](const auto &a, const auto &b) { return a.id == b.id; })) {
            if (removal) {
                beginRemoveRows({}, int(row), int(row));
                m_presets = stored;
                endRemoveRows();
            } else {
                beginInsertRows({}, int(row), int(row));
                m_presets = stored;
                endInsertRows();
            }
        }
    }
    if (m_presets.size() != stored.size() ||
        !std::equal(m_presets.cbegin(), m_presets.cend(), stored.cbegin(),
                    [](const auto &a, const auto &b) { return a.id == b.id; })) {
        beginResetModel();
        m_presets = stored;
        m_selected = selected;
        endResetModel();
    } else if (m_presets != stored || m_selected != selected) {
        m_presets = stored;
        m_selected = selected;
        if (!m_presets.isEmpty())
            Q_EMIT dataChanged(index(0), index(count() - 1));
    }
    if (count() != before)
        Q_EMIT countChanged();
}

RemovablePresetsModel::RemovablePresetsModel(PresetListModel *presets, QObject *parent)
    : QSortFilterProxyModel(parent)
{
    setSourceModel(presets);
    for (auto rowsChange : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(this, rowsChange, this, &RemovablePresetsModel::countChanged);
    connect(this, &QAbstractItemModel::modelReset, this, &RemovablePresetsModel::countChanged);
}

bool RemovablePresetsModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    return !sourceModel()
                ->index(sourceRow, 0, sourceParent)
                .data(PresetListModel::PreserveOriginalRole)
                .toBool();
}
