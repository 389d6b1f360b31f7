#include "appstyle.h"
#include "commandlinepaths.h"
#include "convertcommand.h"

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

/// Answers --help and --version, and gives the files and folders named on the command line (as
/// the launcher's "Open With" passes them) as URLs.
QList<QUrl> parseCommandLine(const QCoreApplication &app, int argc, char *argv[])
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Converts batches of images into WebP.\n\n"
        "  tessel [PATH...]        opens the window with these images and folders in its list\n"
        "  tessel convert PATH...  converts without a window (see tessel convert --help)"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("PATH"),
                                 QStringLiteral("Images or folders to add to the list."),
                                 QStringLiteral("[PATH...]"));
    parser.process(app);

    return CommandLinePaths::locations(parser.positionalArguments(), argc, argv);
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
    if (argc > 1 && std::string_view(argv[1]) == "convert")
        return runConvertCommand(argc, argv);
    if (answersWithoutWindow(argc, argv)) {
        // The usage line names the program as it is typed, not by the path it was started from.
        char programName[] = "tessel";
        argv[0] = programName;
        QCoreApplication app(argc, argv);
        describeApplication();
        parseCommandLine(app, argc, argv);
        return EXIT_SUCCESS;
    }

    QGuiApplication app(argc, argv);
    describeApplication();
    // Lets the desktop match the window to its launcher and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(TESSEL_APP_ID));
    const QList<QUrl> launchFiles = parseCommandLine(app, argc, argv);

    AppStyle::apply();
    QQmlApplicationEngine engine;
    engine.setInitialProperties(
        {{QStringLiteral("launchFiles"), QVariant::fromValue(launchFiles)}});
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreationFailed, &app,
        [] { QCoreApplication::exit(EXIT_FAILURE); }, Qt::QueuedConnection);
    engine.load(QUrl(QStringLiteral("qrc:/qt/qml/Tessel/Main.qml")));
    if (engine.rootObjects().isEmpty())
        return EXIT_FAILURE;
    return QGuiApplication::exec();
}
