#include "appstyle.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QtQml/qqmlextensionplugin.h>

#include <string_view>

Q_IMPORT_QML_PLUGIN(TesselPlugin)

namespace {

void describeApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Tessel"));
    QCoreApplication::setApplicationName(QStringLiteral("Tessel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSEL_VERSION));
}

void parseCommandLine(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Converts batches of images into WebP."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);
}

/// --help and --version answer without a display.
bool answersWithoutWindow(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" ||
            arg == "--version")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (answersWithoutWindow(argc, argv)) {
        QCoreApplication app(argc, argv);
        describeApplication();
        parseCommandLine(app);
        return EXIT_SUCCESS;
    }

    QGuiApplication app(argc, argv);
    describeApplication();
    parseCommandLine(app);

    AppStyle::apply();
    QQmlApplicationEngine engine;
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreationFailed, &app,
        [] { QCoreApplication::exit(EXIT_FAILURE); }, Qt::QueuedConnection);
    engine.load(QUrl(QStringLiteral("qrc:/qt/qml/Tessel/Main.qml")));
    if (engine.rootObjects().isEmpty())
        return EXIT_FAILURE;
    return QGuiApplication::exec();
}
