#include "appstyle.h"

#include <QQuickStyle>
#include <QtGlobal>

#include <utility>

namespace AppStyle {

void apply()
{
    static bool applied = false;
    if (std::exchange(applied, true))
        return;
    if (qEnvironmentVariableIsEmpty("QT_QUICK_CONTROLS_STYLE"))
        QQuickStyle::setStyle(QStringLiteral("Fusion"));
}

} // namespace AppStyle
