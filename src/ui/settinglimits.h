#pragma once

#include "settingrules.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

/// The bounds of the settings' rules, for the controls that show or enforce them.
class SettingLimits : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(int minQuality MEMBER m_minQuality CONSTANT)
    Q_PROPERTY(int maxQuality MEMBER m_maxQuality CONSTANT)
    Q_PROPERTY(int minPPI MEMBER m_minPPI CONSTANT)
    Q_PROPERTY(int maxPPI MEMBER m_maxPPI CONSTANT)
    Q_PROPERTY(int maxSizeLimitKB MEMBER m_maxSizeLimitKB CONSTANT)

public:
    using QObject::QObject;

private:
    const int m_minQuality = SettingRules::minQuality;
    const int m_maxQuality = SettingRules::maxQuality;
    const int m_minPPI = SettingRules::minPPI;
    const int m_maxPPI = SettingRules::maxPPI;
    const int m_maxSizeLimitKB = SettingRules::maxSizeLimitKB;
};
