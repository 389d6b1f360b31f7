#include "presetform.h"

#include "settingrules.h"
#include "settingsstore.h"

PresetForm::PresetForm(QObject *parent)
    : QObject(parent)
{
    connect(this, &PresetForm::nameChanged, this, &PresetForm::canAddChanged);
    connect(this, &PresetForm::widthChanged, this, &PresetForm::canAddChanged);
    connect(this, &PresetForm::heightChanged, this, &PresetForm::canAddChanged);
}

void PresetForm::setStore(SettingsStore *store)
{
    if (m_store == store)
        return;
    m_store = store;
    Q_EMIT storeChanged();
}

void PresetForm::setName(const QString &name)
{
    if (m_name == name)
        return;
    m_name = name;
    Q_EMIT nameChanged();
}

void PresetForm::setWidth(const QString &width)
{
    if (m_width == width)
        return;
    m_width = width;
    Q_EMIT widthChanged();
}

void PresetForm::setHeight(const QString &height)
{
    if (m_height == height)
        return;
    m_height = height;
    Q_EMIT heightChanged();
}

QString PresetForm::nameError() const
{
    return SettingRules::presetNameError(m_name);
}

QString PresetForm::widthError() const
{
    return sideError(QStringLiteral("Width"), m_width);
}

QString PresetForm::heightError() const
{
    return sideError(QStringLiteral("Height"), m_height);
}

QString PresetForm::sideError(const QString &what, const QString &text)
{
    const auto value = parseInteger(text);
    if (!value)
        return QStringLiteral("%1 must be a whole number of pixels.").arg(what);
    return SettingRules::sideError(what, *value);
}

bool PresetForm::canAdd() const
{
    return nameError().isEmpty() && widthError().isEmpty() && heightError().isEmpty();
}

bool PresetForm::add()
{
    const auto width = parseInteger(m_width);
    const auto height = parseInteger(m_height);
    if (!canAdd() || !width || !height || !m_store)
        return false;
    m_store->addPreset(m_name, *width, *height, ResizeModes::all().at(m_resizeModeIndex),
                       m_shrinkOnly);
    clear();
    return true;
}

void PresetForm::clear()
{
    setName({});
    setWidth({});
    setHeight({});
    setResizeModeIndex(0);
    setShrinkOnly(false);
}

QStringList PresetForm::resizeModes() const
{
    QStringList names;
    for (const ResizeMode mode : ResizeModes::all()) {
        QString name = ResizeModes::rawValue(mode);
        name[0] = name[0].toUpper();
        names.append(name);
    }
    return names;
}

void PresetForm::setResizeModeIndex(int index)
{
    if (index == m_resizeModeIndex || index < 0 || index >= ResizeModes::all().size())
        return;
    m_resizeModeIndex = index;
    Q_EMIT resizeModeIndexChanged();
}

void PresetForm::setShrinkOnly(bool shrinkOnly)
{
    if (shrinkOnly == m_shrinkOnly)
        return;
    m_shrinkOnly = shrinkOnly;
    Q_EMIT shrinkOnlyChanged();
}

std::optional<qint64> PresetForm::parseInteger(const QString &text)
{
    qsizetype digitsFrom = 0;
    if (text.startsWith(u'+') || text.startsWith(u'-'))
        digitsFrom = 1;
    if (text.size() == digitsFrom)
        return std::nullopt;
    for (qsizetype i = digitsFrom; i < text.size(); ++i) {
        if (text.at(i) < u'0' || text.at(i) > u'9')
            return std::nullopt;
    }
    // Digits only from here, so the conversion fails on overflow alone.
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}
