#include "convertoptions.h"

#include <QCommandLineParser>

namespace {

std::optional<qint64> wholeNumber(const QString &text, qint64 min, qint64 max)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

} // namespace

QString ConvertOptions::usage()
{
    return QStringLiteral(
        "Usage: tessel convert [options] PATH...\n"
        "Converts image files and folders (walked recursively) into WebP files.\n"
        "Unset options use the settings and output folder saved by the window; nothing is saved.\n"
        "\n"
        "Options:\n"
        "  -o, --output DIR        folder that receives the WebP files\n"
        "  -p, --preset PRESET     a saved preset by name, \"original\" (keep each image's own\n"
        "                          size) or WIDTHxHEIGHT, e.g. 1920x1080 (images are stretched)\n"
        "      --ppi PPI           72, 96, 150, 300 or any whole number\n"
        "  -q, --quality N         encoder quality 1-100 (turns the size limit off)\n"
        "  -s, --max-size KB       largest output size in KB of 1024 bytes (turns it on)\n"
        "      --json              one JSON object per file on standard output\n"
        "  -h, --help              show this help\n"
        "      --version           show the version\n"
        "\n"
        "Exit status: 0 all files done, 1 some failed, 2 usage error or no encoder,\n"
        "130 stopped by Ctrl+C.\n");
}

std::optional<ConvertOptions> ConvertOptions::parse(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")}, {},
                                    QStringLiteral("DIR"));
    const QCommandLineOption preset({QStringLiteral("p"), QStringLiteral("preset")}, {},
                                    QStringLiteral("PRESET"));
    const QCommandLineOption ppi(QStringLiteral("ppi"), {}, QStringLiteral("PPI"));
    const QCommandLineOption quality({QStringLiteral("q"), QStringLiteral("quality")}, {},
                                     QStringLiteral("N"));
    const QCommandLineOption maxSize({QStringLiteral("s"), QStringLiteral("max-size")}, {},
                                     QStringLiteral("KB"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOptions({output, preset, ppi, quality, maxSize, json, help, version});

    // QCommandLineParser expects the program name first.
    if (!parser.parse(QStringList{QStringLiteral("tessel")} + arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }

    ConvertOptions options;
    options.help = parser.isSet(help);
    options.version = parser.isSet(version);
    options.json = parser.isSet(json);
    options.paths = parser.positionalArguments();
    if (options.help || options.version)
        return options;

    for (const auto *single : {&output, &preset, &ppi, &quality, &maxSize}) {
        if (parser.values(*single).size() > 1) {
            *error =
                QStringLiteral("Option '%1' given more than once.").arg(single->names().last());
            return std::nullopt;
        }
    }
    if (parser.isSet(output))
        options.outputFolder = parser.value(output);
    if (parser.isSet(preset))
        options.preset = parser.value(preset);
    if (parser.isSet(ppi)) {
        options.ppi = parser.value(ppi);
        if (!wholeNumber(*options.ppi, 1, 1000000)) {
            *error = QStringLiteral("--ppi wants a whole number of at least 1, not '%1'.")
                         .arg(*options.ppi);
            return std::nullopt;
        }
    }
    if (parser.isSet(quality) && parser.isSet(maxSize)) {
        *error = QStringLiteral("Give either --quality or --max-size, not both.");
        return std::nullopt;
    }
    if (parser.isSet(quality)) {
        options.quality = wholeNumber(parser.value(quality), 1, 100);
        if (!options.quality) {
            *error = QStringLiteral("--quality wants a whole number from 1 to 100, not '%1'.")
                         .arg(parser.value(quality));
            return std::nullopt;
        }
    }
    if (parser.isSet(maxSize)) {
        options.maxSizeKB =
            wholeNumber(parser.value(maxSize), 1, std::numeric_limits<qint64>::max() / 1024);
        if (!options.maxSizeKB) {
            *error =
                QStringLiteral("--max-size wants a whole number of KB of at least 1, not '%1'.")
                    .arg(parser.value(maxSize));
            return std::nullopt;
        }
    }
    if (options.paths.isEmpty()) {
        *error = QStringLiteral("No files or folders to convert.");
        return std::nullopt;
    }
    return options;
}
