#include "systemfonts.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>

namespace {

// Debian's fonts-material-design-icons-iconfont package.
constexpr auto iconFontPath =
    "/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf";

} // namespace

SystemFonts::SystemFonts(QObject *parent)
    : QObject(parent)
{
    qGuiApp->installEventFilter(this);
}

bool SystemFonts::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qGuiApp && event->type() == QEvent::ApplicationFontChange)
        Q_EMIT applicationFontChanged();
    return QObject::eventFilter(watched, event);
}

QFont SystemFonts::general()
{
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont);
}

QFont SystemFonts::fixed()
{
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

QString SystemFonts::iconFamily()
{
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(iconFontPath));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QString() : families.first();
    }();
    return family;
}

int SystemFonts::applicationPixelSize()
{
    return QFontInfo(QGuiApplication::font()).pixelSize();
}
