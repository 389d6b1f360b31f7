#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

/// The program's own constants, for the views.
class AppInfo : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QString version READ version CONSTANT)

public:
    explicit AppInfo(QObject *parent = nullptr)
        : QObject(parent)
    {}

    [[nodiscard]] static QString version() { return QStringLiteral(TESSEL_VERSION); }
};
