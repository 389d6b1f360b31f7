#include "appstyle.h"

#include <QQuickStyle>
#include <QtGlobal>

namespace AppStyle {

void apply()
{
    if (qEnvironmentVariableIsEmpty("QT_QUICK_CONTROLS_STYLE"))
        QQuickStyle::setStyle(QStringLiteral("Fusion"));
}

} // namespace AppStyle
