#include "presetform.h"

#include "imageconverter.h"

PresetForm::PresetForm(QObject *parent)
    : QObject(parent)
{
    connect(this, &PresetForm::nameChanged, this, &PresetForm::canAddChanged);
    connect(this, &PresetForm::widthChanged, this, &PresetForm::canAddChanged);
    connect(this, &PresetForm::heightChanged, this, &PresetForm::canAddChanged);
}

void PresetForm::setConverter(ImageConverter *converter)
{
    if (m_converter == converter)
        return;
    m_converter = converter;
    Q_EMIT converterChanged();
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

bool PresetForm::canAdd() const
{
    return !m_name.isEmpty() && parseInteger(m_width) && parseInteger(m_height);
}

bool PresetForm::add()
{
    const auto width = parseInteger(m_width);
    const auto height = parseInteger(m_height);
    if (!width || !height || m_name.isEmpty() || *width < 1 || *height < 1 || !m_converter)
        return false;
    m_converter->addPreset(m_name, *width, *height);
    clear();
    return true;
}

void PresetForm::clear()
{
    setName({});
    setWidth({});
    setHeight({});
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
