#include "settingsstore.h"

#include "ppioption.h"
#include "preferences.h"
#include "presetlistmodel.h"

namespace {

ConverterSettings stored()
{
    auto settings = Preferences::loadSettings();
    return settings ? std::move(*settings) : ConverterSettings{};
}

} // namespace

SettingsStore::SettingsStore(QObject *parent)
    : QObject(parent)
    , m_settings(stored())
    , m_presets(new PresetListModel(this, this))
    , m_removable(new RemovablePresetsModel(m_presets, this))
{}

void SettingsStore::use(const ConverterSettings &settings)
{
    m_settings = settings;
    Q_EMIT changed();
}

void SettingsStore::change(const std::function<void(ConverterSettings &)> &edit)
{
    edit(m_settings);
    Q_EMIT changed();
    Preferences::saveSettings(m_settings);
}

std::optional<ResolutionPreset> SettingsStore::selectedPreset() const
{
    if (!m_settings.selectedPresetID)
        return std::nullopt;
    for (const ResolutionPreset &preset : m_settings.presets) {
        if (preset.id == *m_settings.selectedPresetID)
            return preset;
    }
    return std::nullopt;
}

qint64 SettingsStore::effectivePPI() const
{
    if (const auto option = PPIOptions::fromRawValue(m_settings.ppiOption)) {
        if (const auto value = PPIOptions::fixedValue(*option))
            return *value;
    }
    return m_settings.customPPI;
}

void SettingsStore::addPreset(const QString &name, qint64 width, qint64 height, ResizeMode mode,
                              bool shrinkOnly)
{
    ResolutionPreset preset = ResolutionPreset::make(name, width, height, false);
    preset.resizeMode = mode;
    preset.shrinkOnly = shrinkOnly;
    change([&](ConverterSettings &s) {
        s.presets.append(preset);
        s.selectedPresetID = preset.id;
    });
}

void SettingsStore::selectOriginalPreset()
{
    change([](ConverterSettings &s) {
        const auto existing = std::find_if(s.presets.cbegin(), s.presets.cend(),
                                           [](const auto &p) { return p.preserveOriginal; });
        if (existing != s.presets.cend()) {
            s.selectedPresetID = existing->id;
            return;
        }
        s.presets.append(ResolutionPreset::original());
        s.selectedPresetID = s.presets.constLast().id;
    });
}

std::optional<SettingsStore::RemovedPreset> SettingsStore::removePreset(const QUuid &id)
{
    std::optional<RemovedPreset> removed;
    change([&](ConverterSettings &s) {
        const auto found = std::find_if(s.presets.cbegin(), s.presets.cend(),
                                        [&](const auto &p) { return p.id == id; });
        if (found != s.presets.cend())
            removed = RemovedPreset{*found, found - s.presets.cbegin(), s.selectedPresetID == id};
        s.presets.removeIf([&](const ResolutionPreset &p) { return p.id == id; });
        if (s.selectedPresetID == id)
            s.selectedPresetID =
                s.presets.isEmpty() ? std::nullopt : std::optional<QUuid>(s.presets.first().id);
    });
    return removed;
}

void SettingsStore::restorePreset(const RemovedPreset &removed)
{
    change([&](ConverterSettings &s) {
        s.presets.insert(std::min(removed.index, s.presets.size()), removed.preset);
        if (removed.wasSelected)
            s.selectedPresetID = removed.preset.id;
    });
}
