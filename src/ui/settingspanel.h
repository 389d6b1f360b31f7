#pragma once

#include "imageconverter.h"
#include "presetlistmodel.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <optional>

/// What the settings strip shows and edits. Each setter writes its one field back into the
/// converter's settings and saves them; the views call them when an edit settles (a field
/// committed, the slider released). Entry fields commit only a whole number in the user's
/// locale that the model's rule for the setting allows; otherwise the setting keeps its value
/// and the field's error says why, until the next commit.
class SettingsPanel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(ImageConverter *converter READ converter WRITE setConverter NOTIFY converterChanged)
    Q_PROPERTY(PresetListModel *presets READ presets NOTIFY converterChanged)
    Q_PROPERTY(
        RemovablePresetsModel *removablePresets READ removablePresets NOTIFY converterChanged)
    Q_PROPERTY(bool hasSelectedPreset READ hasSelectedPreset NOTIFY changed)
    Q_PROPERTY(QString selectedPresetName READ selectedPresetName NOTIFY changed)
    Q_PROPERTY(QString selectedPresetSizeText READ selectedPresetSizeText NOTIFY changed)
    Q_PROPERTY(QStringList ppiOptions READ ppiOptions CONSTANT)
    Q_PROPERTY(int ppiIndex READ ppiIndex NOTIFY changed)
    Q_PROPERTY(bool isCustomPPI READ isCustomPPI NOTIFY changed)
    Q_PROPERTY(QString customPPIText READ customPPIText NOTIFY changed)
    Q_PROPERTY(bool fileSizeLimitEnabled READ fileSizeLimitEnabled NOTIFY changed)
    Q_PROPERTY(QString fileSizeLimitText READ fileSizeLimitText NOTIFY changed)
    Q_PROPERTY(int quality READ quality NOTIFY changed)
    Q_PROPERTY(QString qualityError READ qualityError NOTIFY changed)
    Q_PROPERTY(QString sizeLimitError READ sizeLimitError NOTIFY changed)
    Q_PROPERTY(QString ppiError READ ppiError NOTIFY changed)
    Q_PROPERTY(bool keepFolders READ keepFolders WRITE setKeepFolders NOTIFY changed)
    Q_PROPERTY(bool skipExisting READ skipExisting WRITE setSkipExisting NOTIFY changed)
    Q_PROPERTY(bool keepDates READ keepDates WRITE setKeepDates NOTIFY changed)
    Q_PROPERTY(bool keepPhotoDetails READ keepPhotoDetails WRITE setKeepPhotoDetails NOTIFY changed)
    Q_PROPERTY(bool keepLocation READ keepLocation WRITE setKeepLocation NOTIFY changed)
    Q_PROPERTY(bool firstFrameOnly READ firstFrameOnly WRITE setFirstFrameOnly NOTIFY changed)
    Q_PROPERTY(QStringList efforts READ efforts CONSTANT)
    Q_PROPERTY(int effortIndex READ effortIndex NOTIFY changed)

public:
    explicit SettingsPanel(QObject *parent = nullptr);

    [[nodiscard]] ImageConverter *converter() const { return m_converter; }
    void setConverter(ImageConverter *converter);

    [[nodiscard]] PresetListModel *presets() const;
    /// The presets that can be removed (those that do not keep the original size).
    [[nodiscard]] RemovablePresetsModel *removablePresets() const;
    [[nodiscard]] bool hasSelectedPreset() const;
    [[nodiscard]] QString selectedPresetName() const;
    [[nodiscard]] QString selectedPresetSizeText() const;
    [[nodiscard]] QStringList ppiOptions() const;
    /// The PPI entry matching the stored option, or -1 for a value that is none of them.
    [[nodiscard]] int ppiIndex() const;
    [[nodiscard]] bool isCustomPPI() const;
    [[nodiscard]] QString customPPIText() const;
    [[nodiscard]] bool fileSizeLimitEnabled() const;
    [[nodiscard]] QString fileSizeLimitText() const;
    [[nodiscard]] int quality() const;
    /// What is wrong with the last entry of each field, or with the stored value; empty when
    /// nothing is.
    [[nodiscard]] QString qualityError() const;
    [[nodiscard]] QString sizeLimitError() const;
    [[nodiscard]] QString ppiError() const;
    /// The run's options, each stored as soon as it is set.
    [[nodiscard]] bool keepFolders() const { return settings().output.keepFolders; }
    void setKeepFolders(bool keep);
    [[nodiscard]] bool skipExisting() const { return settings().output.skipExisting; }
    void setSkipExisting(bool skip);
    [[nodiscard]] bool keepDates() const { return settings().output.keepDates; }
    void setKeepDates(bool keep);
    [[nodiscard]] bool keepPhotoDetails() const { return settings().keepPhotoDetails; }
    void setKeepPhotoDetails(bool keep);
    /// Stored on its own, but it matters only while photo details are kept.
    [[nodiscard]] bool keepLocation() const { return settings().keepLocation; }
    void setKeepLocation(bool keep);
    [[nodiscard]] bool firstFrameOnly() const { return settings().firstFrameOnly; }
    void setFirstFrameOnly(bool firstOnly);
    /// The encoder efforts' names in menu order: "Best", "Balanced", "Fast".
    [[nodiscard]] QStringList efforts() const;
    [[nodiscard]] int effortIndex() const;
    /// Stores the effort at `index` of `efforts`; ignores an index that names none.
    Q_INVOKABLE void chooseEffort(int index);
    /// Forgets the fields' rejected entries (the user left them with Escape).
    Q_INVOKABLE void dismissErrors();

    /// `id` is a preset's id as the `presets` entries give it.
    Q_INVOKABLE void selectPreset(const QString &id);
    Q_INVOKABLE void removePreset(const QString &id);
    Q_INVOKABLE void selectOriginalPreset();
    Q_INVOKABLE void choosePPI(int index);
    /// Stores `text` as the custom PPI when it parses; returns whether it did.
    Q_INVOKABLE bool commitCustomPPI(const QString &text);
    Q_INVOKABLE void setFileSizeLimitEnabled(bool enabled);
    /// Stores `text` as the size limit in KB when it parses; returns whether it did.
    Q_INVOKABLE bool commitFileSizeLimitKB(const QString &text);
    /// Stores the integer part of `value`.
    Q_INVOKABLE void setQuality(double value);

    /// A whole number written in the user's locale (group separators allowed), or none.
    [[nodiscard]] static std::optional<qint64> parseLocaleInteger(const QString &text);
    [[nodiscard]] static QString formatLocaleInteger(qint64 value);

Q_SIGNALS:
    void converterChanged();
    void changed();

private:
    [[nodiscard]] ConverterSettings settings() const;
    void writeField(const std::function<void(ConverterSettings &)> &change);
    /// Tells the converter whether a field holds a refused entry.
    void refusedChanged();

    /// Parses `text` and checks it with `rule`; stores the error in `rejected` when it fails.
    [[nodiscard]] std::optional<qint64> accepted(const QString &text, QString (*rule)(qint64),
                                                 QString &rejected);

    QPointer<ImageConverter> m_converter;
    QString m_rejectedSizeLimit;
    QString m_rejectedPPI;
};
