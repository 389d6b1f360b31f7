#include "settingspanel.h"

#include "imageconverter.h"
#include "ppioption.h"
#include "settingrules.h"

#include <QLocale>

SettingsPanel::SettingsPanel(QObject *parent)
    : QObject(parent)
{}

void SettingsPanel::setConverter(ImageConverter *converter)
{
    if (m_converter == converter)
        return;
    if (m_converter)
        m_converter->disconnect(this);
    m_converter = converter;
    if (m_converter)
        connect(m_converter->settingsStore(), &SettingsStore::changed, this,
                &SettingsPanel::changed);
    Q_EMIT converterChanged();
    Q_EMIT changed();
}

ConverterSettings SettingsPanel::settings() const
{
    return m_converter ? m_converter->settings() : ConverterSettings{};
}

void SettingsPanel::writeField(const std::function<void(ConverterSettings &)> &change)
{
    if (m_converter)
        m_converter->settingsStore()->change(change);
}

PresetListModel *SettingsPanel::presets() const
{
    return m_converter ? m_converter->settingsStore()->presets() : nullptr;
}

RemovablePresetsModel *SettingsPanel::removablePresets() const
{
    return m_converter ? m_converter->settingsStore()->removablePresets() : nullptr;
}

bool SettingsPanel::hasSelectedPreset() const
{
    return m_converter && m_converter->selectedPreset();
}

QString SettingsPanel::selectedPresetName() const
{
    const auto preset = m_converter ? m_converter->selectedPreset() : std::nullopt;
    return preset ? preset->name : QString();
}

QString SettingsPanel::selectedPresetSizeText() const
{
    const auto preset = m_converter ? m_converter->selectedPreset() : std::nullopt;
    return preset ? preset->sizeTextBesideName() : QString();
}

QStringList SettingsPanel::ppiOptions() const
{
    QStringList options;
    for (const PPIOption option : PPIOptions::all())
        options.append(PPIOptions::rawValue(option));
    return options;
}

int SettingsPanel::ppiIndex() const
{
    return static_cast<int>(ppiOptions().indexOf(settings().ppiOption));
}

bool SettingsPanel::isCustomPPI() const
{
    return settings().ppiOption == PPIOptions::rawValue(PPIOption::custom);
}

QString SettingsPanel::customPPIText() const
{
    return formatLocaleInteger(settings().customPPI);
}

bool SettingsPanel::fileSizeLimitEnabled() const
{
    return settings().fileSizeLimitEnabled;
}

QString SettingsPanel::fileSizeLimitText() const
{
    return formatLocaleInteger(settings().fileSizeLimitKB);
}

int SettingsPanel::quality() const
{
    return static_cast<int>(settings().quality);
}

void SettingsPanel::selectPreset(const QString &id)
{
    const QUuid uuid = QUuid::fromString(id);
    writeField([&](ConverterSettings &s) { s.selectedPresetID = uuid; });
}

void SettingsPanel::removePreset(const QString &id)
{
    if (m_converter)
        m_converter->removePreset(QUuid::fromString(id));
}

void SettingsPanel::selectOriginalPreset()
{
    if (m_converter)
        m_converter->settingsStore()->selectOriginalPreset();
}

void SettingsPanel::choosePPI(int index)
{
    const QStringList options = ppiOptions();
    if (index < 0 || index >= options.size())
        return;
    writeField([&](ConverterSettings &s) { s.ppiOption = options.at(index); });
}

QString SettingsPanel::qualityError() const
{
    return SettingRules::qualityError(settings().quality);
}

QString SettingsPanel::sizeLimitError() const
{
    if (!m_rejectedSizeLimit.isEmpty())
        return m_rejectedSizeLimit;
    return SettingRules::sizeLimitError(settings().fileSizeLimitKB);
}

QString SettingsPanel::ppiError() const
{
    if (!m_rejectedPPI.isEmpty())
        return m_rejectedPPI;
    return isCustomPPI() ? SettingRules::ppiError(settings().customPPI) : QString();
}

void SettingsPanel::dismissErrors()
{
    m_rejectedSizeLimit.clear();
    m_rejectedPPI.clear();
    refusedChanged();
}

void SettingsPanel::refusedChanged()
{
    if (m_converter)
        m_converter->setRefusedEntries(!m_rejectedSizeLimit.isEmpty(), !m_rejectedPPI.isEmpty());
    Q_EMIT changed();
}

std::optional<qint64> SettingsPanel::accepted(const QString &text, QString (*rule)(qint64),
                                              QString &rejected)
{
    const auto value = parseLocaleInteger(text);
    rejected = value ? rule(*value) : QStringLiteral("Type a whole number.");
    refusedChanged();
    if (!rejected.isEmpty())
        return std::nullopt;
    return value;
}

bool SettingsPanel::commitCustomPPI(const QString &text)
{
    const auto value = accepted(text, &SettingRules::ppiError, m_rejectedPPI);
    if (!value)
        return false;
    writeField([&](ConverterSettings &s) { s.customPPI = *value; });
    return true;
}

void SettingsPanel::setFileSizeLimitEnabled(bool enabled)
{
    writeField([&](ConverterSettings &s) { s.fileSizeLimitEnabled = enabled; });
}

bool SettingsPanel::commitFileSizeLimitKB(const QString &text)
{
    const auto value = accepted(text, &SettingRules::sizeLimitError, m_rejectedSizeLimit);
    if (!value)
        return false;
    writeField([&](ConverterSettings &s) { s.fileSizeLimitKB = *value; });
    return true;
}

void SettingsPanel::setQuality(double value)
{
    writeField([&](ConverterSettings &s) { s.quality = static_cast<qint64>(value); });
}

void SettingsPanel::setKeepFolders(bool keep)
{
    writeField([&](ConverterSettings &s) { s.output.keepFolders = keep; });
}

void SettingsPanel::setSkipExisting(bool skip)
{
    writeField([&](ConverterSettings &s) { s.output.skipExisting = skip; });
}

void SettingsPanel::setKeepDates(bool keep)
{
    writeField([&](ConverterSettings &s) { s.output.keepDates = keep; });
}

void SettingsPanel::setKeepPhotoDetails(bool keep)
{
    writeField([&](ConverterSettings &s) { s.keepPhotoDetails = keep; });
}

void SettingsPanel::setKeepLocation(bool keep)
{
    writeField([&](ConverterSettings &s) { s.keepLocation = keep; });
}

void SettingsPanel::setFirstFrameOnly(bool firstOnly)
{
    writeField([&](ConverterSettings &s) { s.firstFrameOnly = firstOnly; });
}

QStringList SettingsPanel::efforts() const
{
    QStringList names;
    for (const EncoderEffort effort : EncoderEfforts::all()) {
        QString name = EncoderEfforts::rawValue(effort);
        name[0] = name[0].toUpper();
        names.append(name);
    }
    return names;
}

int SettingsPanel::effortIndex() const
{
    return static_cast<int>(EncoderEfforts::all().indexOf(settings().effort));
}

void SettingsPanel::chooseEffort(int index)
{
    if (index < 0 || index >= EncoderEfforts::all().size())
        return;
    writeField([&](ConverterSettings &s) { s.effort = EncoderEfforts::all().at(index); });
}

std::optional<qint64> SettingsPanel::parseLocaleInteger(const QString &text)
{
    bool ok = false;
    const qint64 value = QLocale().toLongLong(text.trimmed(), &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString SettingsPanel::formatLocaleInteger(qint64 value)
{
    // The fields take digits only, so the value shows without group separators.
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value);
}
