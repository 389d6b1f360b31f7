#pragma once

#include "convertersettings.h"

#include <QObject>

#include <optional>

/// The user's settings and presets, and the one path that saves them to the preferences.
/// Preset operations save at once; other edits are published by `setSettings` and saved by
/// `save` when the edit settles.
class SettingsStore : public QObject
{
    Q_OBJECT

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
    void setSettings(const ConverterSettings &settings);
    void save() const;

    [[nodiscard]] std::optional<ResolutionPreset> selectedPreset() const;
    /// 72, 96, 150 or 300 for the fixed choices; `customPPI` for "Custom" and any other text.
    [[nodiscard]] qint64 effectivePPI() const;

    /// Appends a preset and selects it.
    void addPreset(const QString &name, qint64 width, qint64 height);
    /// Selects the keep-own-size preset, making one named "Original" when there is none.
    void selectOriginalPreset();
    /// Removes the presets with `id`; a removed selection passes to the first preset left.
    std::optional<RemovedPreset> removePreset(const QUuid &id);
    /// Puts a removed preset back where it was, selected again if it was.
    void restorePreset(const RemovedPreset &removed);

Q_SIGNALS:
    void changed();

private:
    void change(const std::function<void(ConverterSettings &)> &edit);

    ConverterSettings m_settings;
};
