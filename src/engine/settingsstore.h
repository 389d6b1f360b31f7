#pragma once

#include "convertersettings.h"

#include <QObject>

#include <functional>
#include <optional>

Q_MOC_INCLUDE("presetlistmodel.h")
class PresetListModel;
class RemovablePresetsModel;

/// The user's settings and presets. Every edit goes through `change`, which publishes it and
/// saves it to the preferences; the presets are also offered as list models.
class SettingsStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(PresetListModel *presets READ presets CONSTANT)
    Q_PROPERTY(RemovablePresetsModel *removablePresets READ removablePresets CONSTANT)

public:
    /// A preset taken out of the list, with what is needed to put it back.
    struct RemovedPreset
    {
        ResolutionPreset preset;
        qsizetype index = 0;
        bool wasSelected = false;
    };

    /// Loads the stored document, or starts from the defaults when there is none usable.
    explicit SettingsStore(QObject *parent = nullptr);

    [[nodiscard]] const ConverterSettings &settings() const { return m_settings; }
    /// Applies `edit`, publishes the result and saves it.
    void change(const std::function<void(ConverterSettings &)> &edit);
    /// Publishes `settings` for this session without saving them (the command line's options).
    void use(const ConverterSettings &settings);
    [[nodiscard]] PresetListModel *presets() const { return m_presets; }
    [[nodiscard]] RemovablePresetsModel *removablePresets() const { return m_removable; }

    [[nodiscard]] std::optional<ResolutionPreset> selectedPreset() const;
    /// 72, 96, 150 or 300 for the fixed choices; `customPPI` for "Custom" and any other text.
    [[nodiscard]] qint64 effectivePPI() const;

    /// Appends a preset and selects it.
    void addPreset(const QString &name, qint64 width, qint64 height,
                   ResizeMode mode = ResizeMode::stretch, bool shrinkOnly = false);
    /// Selects the keep-own-size preset, making one named "Original" when there is none.
    Q_INVOKABLE void selectOriginalPreset();
    /// Removes the presets with `id`; a removed selection passes to the first preset left.
    std::optional<RemovedPreset> removePreset(const QUuid &id);
    /// Puts a removed preset back where it was, selected again if it was.
    void restorePreset(const RemovedPreset &removed);

Q_SIGNALS:
    void changed();

private:
    ConverterSettings m_settings;
    PresetListModel *m_presets;
    RemovablePresetsModel *m_removable;
};
