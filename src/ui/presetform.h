#pragma once

#include "imageconverter.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <optional>

/// The three fields of the add-preset sheet and the rule that turns them into a preset.
///
/// Width and height are whole numbers: an optional single sign and ASCII digits only, within
/// the signed 64-bit range. Add is enabled by a non-empty name and two numbers; it adds only a
/// size of at least 1 by 1.
class PresetForm : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(ImageConverter *converter READ converter WRITE setConverter NOTIFY converterChanged)
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(QString width READ width WRITE setWidth NOTIFY widthChanged)
    Q_PROPERTY(QString height READ height WRITE setHeight NOTIFY heightChanged)
    Q_PROPERTY(bool canAdd READ canAdd NOTIFY canAddChanged)

public:
    explicit PresetForm(QObject *parent = nullptr);

    [[nodiscard]] ImageConverter *converter() const { return m_converter; }
    void setConverter(ImageConverter *converter);
    [[nodiscard]] QString name() const { return m_name; }
    void setName(const QString &name);
    [[nodiscard]] QString width() const { return m_width; }
    void setWidth(const QString &width);
    [[nodiscard]] QString height() const { return m_height; }
    void setHeight(const QString &height);
    [[nodiscard]] bool canAdd() const;

    /// Adds the preset and empties the fields; returns false, changing nothing, when the fields
    /// do not make a preset.
    Q_INVOKABLE bool add();
    /// Empties the name, width and height, in that order.
    Q_INVOKABLE void clear();

    [[nodiscard]] static std::optional<qint64> parseInteger(const QString &text);

Q_SIGNALS:
    void converterChanged();
    void nameChanged();
    void widthChanged();
    void heightChanged();
    void canAddChanged();

private:
    QPointer<ImageConverter> m_converter;
    QString m_name;
    QString m_width;
    QString m_height;
};
