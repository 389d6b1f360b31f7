#include "convertcommand.h"

#include "commandlinepaths.h"
#include "headlessconversion.h"
#include "imageconverter.h"
#include "signalwatcher.h"

#include <QCoreApplication>
#include <QTextStream>

int runConvertCommand(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tessel"));
    QCoreApplication::setApplicationName(QStringLiteral("Tessel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSEL_VERSION));

    QTextStream out(stdout);
    QTextStream err(stderr);
    QString error;
    auto options = ConvertOptions::parse(QCoreApplication::arguments().mid(2), &error);
    if (!options) {
        err << "tessel: " << error << "\n\n" << ConvertOptions::usage();
        return HeadlessConversion::UsageError;
    }
    if (options->help) {
        out << ConvertOptions::usage();
        return HeadlessConversion::AllDone;
    }
    if (options->version) {
        out << "Tessel " << QCoreApplication::applicationVersion() << '\n';
        return HeadlessConversion::AllDone;
    }

    options->locations = CommandLinePaths::locations(options->paths, argc, argv);
    if (options->outputFolder)
        options->outputLocation =
            CommandLinePaths::optionFolder(*options->outputFolder, "-o", "--output", argc, argv);
    ImageConverter converter;
    HeadlessConversion conversion(*options, &converter);
    SignalWatcher watcher;
    QObject::connect(&watcher, &SignalWatcher::received, &conversion,
                     &HeadlessConversion::interrupt);
    QObject::connect(&conversion, &HeadlessConversion::finished, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    int exitCode = 0;
    if (!conversion.start(&exitCode))
        return exitCode;
    return QCoreApplication::exec();
}
