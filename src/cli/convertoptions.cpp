#include "convertoptions.h"

#include "ppioption.h"
#include "settingrules.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {

/// The whole number given for `option`, or none, with the reason in `error`, when the text is
/// not one or the number breaks `rule`.
std::optional<qint64> ruledNumber(const QString &option, const QString &text,
                                  QString (*rule)(qint64), QString *error)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    *error =
        ok ? rule(value) : QStringLiteral("%1 wants a whole number, not '%2'.").arg(option, text);
    return error->isEmpty() ? std::optional<qint64>(value) : std::nullopt;
}

QString number(qint64 value)
{
    return QString::number(value);
}

/// The fixed PPI choices as the help lists them: "72, 96, 150, 300".
QString fixedPPIs()
{
    QStringList values;
    for (const PPIOption option : PPIOptions::all()) {
        if (const auto ppi = PPIOptions::fixedValue(option))
            values.append(number(*ppi));
    }
    return values.join(QStringLiteral(", "));
}

} // namespace

std::optional<QSize> ConvertOptions::presetSize(const QString &preset)
{
    static const QRegularExpression size(QStringLiteral("^(\\d+)\\s*[x\u00D7X]\\s*(\\d+)$"));
    const QRegularExpressionMatch match = size.match(preset);
    if (!match.hasMatch())
        return std::nullopt;
    // Digits beyond an int's range read as 0 and fail the side rule like any other 0.
    return QSize(match.captured(1).toInt(), match.captured(2).toInt());
}

QString ConvertOptions::usage()
{
    const QString text = QStringLiteral(
        "Usage: tessel convert [options] PATH...\n"
        "Converts image files and folders (walked recursively) into WebP files.\n"
        "Unset options use the settings and output folder saved by the window; nothing is saved.\n"
        "\n"
        "Options:\n"
        "  -o, --output DIR        folder that receives the WebP files\n"
        "  -p, --preset PRESET     a saved preset by name, \"original\" (keep each image's own\n"
        "                          size) or WIDTHxHEIGHT, e.g. 1920x1080 (images are stretched\n"
        "                          unless --resize says otherwise; a saved preset keeps its\n"
        "                          own mode), WIDTH and HEIGHT from %1 to %2\n"
        "      --ppi PPI           %3 or any whole number from %4 to %5\n"
        "  -q, --quality N         encoder quality %6-%7 (turns the size limit off)\n"
        "  -s, --max-size KB       largest output size, %8-%9 KB of 1024 bytes (turns the\n"
        "                          size limit on)\n"
        "      --keep-folders      a file found in a folder PATH goes to DIR/<that folder's\n"
        "                          name>/<its path below it>; a file PATH goes to DIR\n"
        "      --skip-existing     skip a file whose output name is taken (reported as skipped)\n"
        "                          instead of adding a number; nothing is ever overwritten\n"
        "      --keep-dates        give each output its input's modification time\n"
        "      --first-frame       make a still of an animated GIF or WebP's first frame\n"
        "                          instead of an animated WebP\n"
        "      --keep-metadata     keep the photo's details (EXIF and XMP: date taken, camera,\n"
        "                          lens, exposure, artist, copyright, keywords); the location\n"
        "                          is removed unless --keep-location is given too\n"
        "      --keep-location     with the details, keep the location (GPS) as well\n"
        "      --resize MODE       how an image meets the preset's box: stretch (exactly the\n"
        "                          box), fit (inside it, aspect kept) or fill (covers it, aspect\n"
        "                          kept, the centre cut to the box)\n"
        "      --shrink-only       an image already inside the box keeps its size; fit and\n"
        "                          fill never enlarge\n"
        "      --effort EFFORT     encoder time per file: best (the most), balanced (several\n"
        "                          times faster, files within 1% of best's size) or fast (the\n"
        "                          fastest, files within 5%)\n"
        "      --json              one JSON object per file on standard output\n"
        "  -h, --help              show this help\n"
        "      --version           show the version\n"
        "\n"
        "Environment: TESSEL_CWEBP and TESSEL_IMG2WEBP name the cwebp and the img2webp (for\n"
        "animations) to use instead of looking for them.\n"
        "\n"
        "Exit status: 0 all files done or skipped, 1 some failed or a PATH is missing or is "
        "neither a\n"
        "folder nor an image, 2 usage error or no encoder, 130 stopped by Ctrl+C, 143 by\n"
        "SIGTERM.\n");
    return text.arg(number(SettingRules::minSide), number(SettingRules::maxSide), fixedPPIs(),
                    number(SettingRules::minPPI), number(SettingRules::maxPPI),
                    number(SettingRules::minQuality), number(SettingRules::maxQuality),
                    number(SettingRules::minSizeLimitKB), number(SettingRules::maxSizeLimitKB));
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
    const QCommandLineOption keepFolders(QStringLiteral("keep-folders"));
    const QCommandLineOption skipExisting(QStringLiteral("skip-existing"));
    const QCommandLineOption keepDates(QStringLiteral("keep-dates"));
    const QCommandLineOption firstFrame(QStringLiteral("first-frame"));
    const QCommandLineOption keepMetadata(QStringLiteral("keep-metadata"));
    const QCommandLineOption keepLocation(QStringLiteral("keep-location"));
    const QCommandLineOption resize(QStringLiteral("resize"), {}, QStringLiteral("MODE"));
    const QCommandLineOption shrinkOnly(QStringLiteral("shrink-only"));
    const QCommandLineOption effort(QStringLiteral("effort"), {}, QStringLiteral("EFFORT"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOptions({output, preset, ppi, quality, maxSize, json, help, version});
    parser.addOptions(
        {keepFolders, skipExisting, keepDates, firstFrame, keepMetadata, keepLocation});
    parser.addOptions({resize, shrinkOnly, effort});

    // QCommandLineParser expects the program name first.
    if (!parser.parse(QStringList{QStringLiteral("tessel")} + arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }

    ConvertOptions options;
    options.help = parser.isSet(help);
    options.version = parser.isSet(version);
    options.json = parser.isSet(json);
    options.keepFolders = parser.isSet(keepFolders);
    options.skipExisting = parser.isSet(skipExisting);
    options.keepDates = parser.isSet(keepDates);
    options.firstFrame = parser.isSet(firstFrame);
    options.keepMetadata = parser.isSet(keepMetadata);
    options.keepLocation = parser.isSet(keepLocation);
    options.paths = parser.positionalArguments();
    if (options.help || options.version)
        return options;

    for (const auto *single : {&output, &preset, &ppi, &quality, &maxSize, &resize, &effort}) {
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
    if (parser.isSet(quality) && parser.isSet(maxSize)) {
        *error = QStringLiteral("Give either --quality or --max-size, not both.");
        return std::nullopt;
    }
    if (parser.isSet(ppi)) {
        if (!ruledNumber(QStringLiteral("--ppi"), parser.value(ppi), SettingRules::ppiError, error))
            return std::nullopt;
        options.ppi = parser.value(ppi);
    }
    if (parser.isSet(quality)) {
        options.quality = ruledNumber(QStringLiteral("--quality"), parser.value(quality),
                                      SettingRules::qualityError, error);
        if (!options.quality)
            return std::nullopt;
    }
    if (parser.isSet(maxSize)) {
        options.maxSizeKB = ruledNumber(QStringLiteral("--max-size"), parser.value(maxSize),
                                        SettingRules::sizeLimitError, error);
        if (!options.maxSizeKB)
            return std::nullopt;
    }
    if (parser.isSet(resize)) {
        options.resize = ResizeModes::fromRawValue(parser.value(resize));
        if (!options.resize) {
            *error = QStringLiteral("--resize wants stretch, fit or fill, not '%1'.")
                         .arg(parser.value(resize));
            return std::nullopt;
        }
    }
    options.shrinkOnly = parser.isSet(shrinkOnly);
    if (parser.isSet(effort)) {
        options.effort = EncoderEfforts::fromRawValue(parser.value(effort));
        if (!options.effort) {
            *error = QStringLiteral("--effort wants best, balanced or fast, not '%1'.")
                         .arg(parser.value(effort));
            return std::nullopt;
        }
    }
    if (const auto size = options.preset ? presetSize(*options.preset) : std::nullopt) {
        *error = SettingRules::sideError(QStringLiteral("Width"), size->width());
        if (error->isEmpty())
            *error = SettingRules::sideError(QStringLiteral("Height"), size->height());
        if (!error->isEmpty())
            return std::nullopt;
    }
    if (options.paths.isEmpty()) {
        *error = QStringLiteral("No files or folders to convert.");
        return std::nullopt;
    }
    return options;
}
