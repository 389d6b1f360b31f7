#pragma once

#include "settingsstore.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

#include <optional>

/// The fields of the add-preset sheet and the rules that turn them into a preset: a name, a
/// width and a height typed in, and the resize mode and shrink-only choice.
///
/// Width and height are whole numbers (an optional single sign and ASCII digits only, within
/// the signed 64-bit range) inside the model's side rule; the name must not be blank. Each
/// field has its own error text, empty while the field is valid; Add is enabled exactly when
/// all three are.
class PresetForm : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(SettingsStore *store READ store WRITE setStore NOTIFY storeChanged)
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(QString width READ width WRITE setWidth NOTIFY widthChanged)
    Q_PROPERTY(QString height READ height WRITE setHeight NOTIFY heightChanged)
    Q_PROPERTY(QString nameError READ nameError NOTIFY canAddChanged)
    Q_PROPERTY(QString widthError READ widthError NOTIFY canAddChanged)
    Q_PROPERTY(QString heightError READ heightError NOTIFY canAddChanged)
    Q_PROPERTY(bool canAdd READ canAdd NOTIFY canAddChanged)
    Q_PROPERTY(QStringList resizeModes READ resizeModes CONSTANT)
    Q_PROPERTY(int resizeModeIndex READ resizeModeIndex WRITE setResizeModeIndex NOTIFY
                   resizeModeIndexChanged)
    Q_PROPERTY(bool shrinkOnly READ shrinkOnly WRITE setShrinkOnly NOTIFY shrinkOnlyChanged)

public:
    explicit PresetForm(QObject *parent = nullptr);

    [[nodiscard]] SettingsStore *store() const { return m_store; }
    void setStore(SettingsStore *store);
    [[nodiscard]] QString name() const { return m_name; }
    void setName(const QString &name);
    [[nodiscard]] QString width() const { return m_width; }
    void setWidth(const QString &width);
    [[nodiscard]] QString height() const { return m_height; }
    void setHeight(const QString &height);
    [[nodiscard]] QString nameError() const;
    [[nodiscard]] QString widthError() const;
    [[nodiscard]] QString heightError() const;
    [[nodiscard]] bool canAdd() const;
    /// The modes' names in menu order: "Stretch", "Fit", "Fill".
    [[nodiscard]] QStringList resizeModes() const;
    [[nodiscard]] int resizeModeIndex() const { return m_resizeModeIndex; }
    /// Ignores an index that names no mode.
    void setResizeModeIndex(int index);
    [[nodiscard]] bool shrinkOnly() const { return m_shrinkOnly; }
    void setShrinkOnly(bool shrinkOnly);

    /// Adds the preset and empties the fields; returns false, changing nothing, when the fields
    /// do not make a preset.
    Q_INVOKABLE bool add();
    /// Empties the name, width and height, in that order, and puts back stretch without
    /// shrink-only.
    Q_INVOKABLE void clear();

    [[nodiscard]] static std::optional<qint64> parseInteger(const QString &text);
    /// The error of a side typed as `text`; `what` is "Width" or "Height".
    [[nodiscard]] static QString sideError(const QString &what, const QString &text);

Q_SIGNALS:
    void storeChanged();
    void nameChanged();
    void widthChanged();
    void heightChanged();
    void canAddChanged();
    void resizeModeIndexChanged();
    void shrinkOnlyChanged();

private:
    QPointer<SettingsStore> m_store;
    QString m_name;
    QString m_width;
    QString m_height;
    int m_resizeModeIndex = 0;
    bool m_shrinkOnly = false;
};
