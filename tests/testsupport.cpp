#include "testsupport.h"

#include <QCoreApplication>
#include <QSettings>

TemporaryPreferences::TemporaryPreferences()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Tessel"));
    QCoreApplication::setApplicationName(QStringLiteral("Tessel"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
}

TemporaryPreferences::~TemporaryPreferences() = default;

QVariant TemporaryPreferences::value(const QString &key) const
{
    return QSettings().value(key);
}

void TemporaryPreferences::setValue(const QString &key, const QVariant &value)
{
    QSettings store;
    store.setValue(key, value);
    store.sync();
}

void TemporaryPreferences::remove(const QString &key)
{
    QSettings store;
    store.remove(key);
    store.sync();
}
