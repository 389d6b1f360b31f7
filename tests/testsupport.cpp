#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>

TemporaryPreferences::TemporaryPreferences()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Tessel"));
    QCoreApplication::setApplicationName(QStringLiteral("Tessel"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
}

QVariant TemporaryPreferences::value(const QString &key) const
{
    return QSettings().value(key);
}

void TemporaryPreferences::setValue(const QString &key, const QVariant &value)
{
    QSettings().setValue(key, value); // written back as the store goes
}

void addRowsFrom(const char *file, std::initializer_list<const char *> columns)
{
    for (const char *column : columns)
        QTest::addColumn<QString>(column);
    QFile table(QStringLiteral(TESSEL_TEST_DATA "/") + QLatin1String(file));
    QVERIFY2(table.open(QIODevice::ReadOnly | QIODevice::Text), file);
    while (!table.atEnd()) {
        const QString line = QString::fromUtf8(table.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        QStringList fields = line.split(u'|');
        QVERIFY2(fields.size() == qsizetype(columns.size()) + 1, qPrintable(line));
        QTestData &row = QTest::newRow(qPrintable(fields.takeFirst().trimmed()));
        for (const QString &field : std::as_const(fields))
            row << field.trimmed();
    }
}

QList<QUrl> touch(const QString &folder, const QStringList &names)
{
    QList<QUrl> urls;
    for (const QString &name : names) {
        QFile file(QDir(folder).filePath(name));
        if (!QDir().mkpath(QFileInfo(file).path()) || !file.open(QIODevice::WriteOnly))
            return {};
        urls.append(QUrl::fromLocalFile(file.fileName()));
    }
    return urls;
}

QString script(const QString &folder, const QString &name, const QString &body)
{
    const QString path = folder + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!/bin/sh\n" + body.toUtf8() + '\n');
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}
