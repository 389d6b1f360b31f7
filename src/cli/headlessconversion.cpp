#include "headlessconversion.h"

#include "commandlinepaths.h"
#include "fileintake.h"
#include "imageconverter.h"
#include "ppioption.h"
#include "webpencoder.h"
#include "webpfile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <csignal>
#include <unistd.h>

HeadlessConversion::HeadlessConversion(ConvertOptions options, ImageConverter *converter)
    : m_options(std::move(options))
    , m_converter(converter)
    , m_out(stdout)
    , m_err(stderr)
    , m_progress(isatty(STDERR_FILENO) != 0)
{}

void HeadlessConversion::usageError(const QString &message)
{
    // Flushed as the stream goes, when the program returns with the usage error.
    m_err << "tessel: " << message << "\n\n" << ConvertOptions::usage();
}

bool HeadlessConversion::applyOptions()
{
    ConverterSettings settings = m_converter->settings();

    if (m_options.outputFolder) {
        if (!FileIntake::isFolder(FileIntake::pathOf(m_options.outputLocation))) {
            usageError(QStringLiteral("The output folder '%1' does not exist.")
                           .arg(*m_options.outputFolder));
            return false;
        }
        m_converter->outputFolder()->use(m_options.outputLocation);
    } else if (!m_converter->outputFolder()->isSet()) {
        usageError(QStringLiteral("No output folder: give one with --output DIR."));
        return false;
    }

    if (m_options.preset) {
        const QString &name = *m_options.preset;
        const auto stored = std::find_if(settings.presets.cbegin(), settings.presets.cend(),
                                         [&](const auto &p) { return p.name == name; });
        ResolutionPreset chosen;
        if (stored != settings.presets.cend()) {
            chosen = *stored;
        } else if (name.compare(QStringLiteral("original"), Qt::CaseInsensitive) == 0) {
            chosen = ResolutionPreset::original();
        } else if (const auto size = ConvertOptions::presetSize(name)) {
            // The sides were checked against their rule when the options were parsed.
            chosen = ResolutionPreset::make(name, size->width(), size->height(), false);
        } else {
            usageError(QStringLiteral("No preset named '%1'.").arg(name));
            return false;
        }
        if (stored == settings.presets.cend())
            settings.presets.append(chosen);
        settings.selectedPresetID = chosen.id;
    }
    if (m_options.ppi) {
        const auto option = PPIOptions::fromRawValue(*m_options.ppi);
        const bool fixed = option && PPIOptions::fixedValue(*option);
        settings.ppiOption = fixed ? *m_options.ppi : PPIOptions::rawValue(PPIOption::custom);
        if (!fixed)
            settings.customPPI = m_options.ppi->toLongLong();
    }
    if (m_options.quality) {
        settings.fileSizeLimitEnabled = false;
        settings.quality = *m_options.quality;
    }
    if (m_options.maxSizeKB) {
        settings.fileSizeLimitEnabled = true;
        settings.fileSizeLimitKB = *m_options.maxSizeKB;
    }
    settings.output.keepFolders |= m_options.keepFolders;
    settings.output.skipExisting |= m_options.skipExisting;
    settings.output.keepDates |= m_options.keepDates;
    if (m_options.firstFrame)
        settings.firstFrameOnly = true;
    if (m_options.keepMetadata)
        settings.keepPhotoDetails = true;
    if (m_options.keepLocation)
        settings.keepLocation = true;
    if (m_options.effort)
        settings.effort = *m_options.effort;
    // With nothing chosen, images keep their own size.
    m_converter->settingsStore()->use(settings);
    if (!m_converter->selectedPreset()) {
        settings.presets.append(ResolutionPreset::original());
        settings.selectedPresetID = settings.presets.last().id;
        m_converter->settingsStore()->use(settings);
    }
    if (m_options.resize || m_options.shrinkOnly) {
        // The chosen preset, a stored one too, is resized as the command line says.
        for (ResolutionPreset &preset : settings.presets) {
            if (preset.id != settings.selectedPresetID)
                continue;
            preset.resizeMode = m_options.resize.value_or(preset.resizeMode);
            preset.shrinkOnly = preset.shrinkOnly || m_options.shrinkOnly;
        }
        m_converter->settingsStore()->use(settings);
    }
    return true;
}

bool HeadlessConversion::start(int *exitCode)
{
    *exitCode = UsageError;
    if (!applyOptions())
        return false;
    if (!WebpEncoder::locate()) {
        m_err << "tessel: " << WebpEncoder::notFoundMessage() << '\n';
        return false;
    }

    QList<QUrl> convertible;
    for (const QUrl &location : std::as_const(m_options.locations)) {
        if (const auto problem = CommandLinePaths::problemWith(FileIntake::pathOf(location))) {
            m_err << "tessel: " << *problem << '\n';
            m_badPaths = true;
        } else {
            convertible.append(location);
        }
    }
    m_err.flush();
    if (convertible.isEmpty()) {
        *exitCode = SomeFailed;
        return false;
    }

    connect(m_converter, &ImageConverter::fileFinished, this, &HeadlessConversion::report);
    connect(m_converter, &ImageConverter::runFinished, this, &HeadlessConversion::finish);
    connect(m_converter, &ImageConverter::noticeRequested, this,
            [this](const QString &notice) { m_err << "tessel: " << notice << '\n'; });
    connect(
        m_converter, &ImageConverter::filesAdded, this,
        [this](qint64 count) {
            if (m_signal != 0) {
                finish();
                return;
            }
            if (count == 0) {
                m_err << "tessel: no images to convert\n";
                m_err.flush();
                Q_EMIT finished(m_badPaths ? SomeFailed : AllDone);
                return;
            }
            // Ends through runFinished, also when the encoder is gone by now.
            m_converter->convertAll();
            if (!m_converter->isConverting() && !m_finished) {
                // Refused: a stored setting outside its rule, or the folder gone meanwhile.
                const QString reason = m_converter->convertBlocker();
                if (!reason.isEmpty())
                    m_err << "tessel: " << reason << '\n';
                m_err.flush();
                Q_EMIT finished(UsageError);
                return;
            }
            printProgress();
        },
        Qt::SingleShotConnection);
    m_converter->addFiles(convertible);
    *exitCode = AllDone;
    return true;
}

void HeadlessConversion::interrupt(int signal)
{
    m_signal = signal;
    // Also ends a walk still under way, so that the program ends at once.
    m_converter->stop();
}

void HeadlessConversion::report(const QByteArray &path, const ConversionStatus &status)
{
    const QString input = QFile::decodeName(path);
    QString name;
    switch (status.kind()) {
    case ConversionStatus::Kind::done:
        ++m_done;
        name = QStringLiteral("done");
        break;
    case ConversionStatus::Kind::error:
        ++m_failed;
        name = QStringLiteral("error");
        break;
    case ConversionStatus::Kind::cancelled:
        ++m_cancelled;
        name = QStringLiteral("cancelled");
        break;
    case ConversionStatus::Kind::skipped:
        ++m_skipped;
        name = QStringLiteral("skipped");
        break;
    case ConversionStatus::Kind::queued:
    case ConversionStatus::Kind::converting:
        return;
    }

    if (m_progress)
        m_err << "\r\033[K";
    if (m_options.json) {
        const bool done = status.kind() == ConversionStatus::Kind::done;
        // A skipped file's output is the one that was there already.
        const bool hasOutput = done || status.kind() == ConversionStatus::Kind::skipped;
        // The output's size shows what the preset and its resize mode made of the image.
        const QSize made = done ? WebpFile::dimensions(status.outputPath()) : QSize();
        QJsonObject line{
            {QStringLiteral("input"), input},
            {QStringLiteral("output"), hasOutput ? QJsonValue(status.outputPath()) : QJsonValue()},
            {QStringLiteral("status"), name},
            {QStringLiteral("bytes"), done ? QJsonValue(status.fileSize()) : QJsonValue()},
            {QStringLiteral("frames"), done ? QJsonValue(status.frames()) : QJsonValue()},
            {QStringLiteral("width"), made.isEmpty() ? QJsonValue() : QJsonValue(made.width())},
            {QStringLiteral("height"), made.isEmpty() ? QJsonValue() : QJsonValue(made.height())},
            {QStringLiteral("message"), status.kind() == ConversionStatus::Kind::error
                                            ? QJsonValue(status.message())
                                            : QJsonValue()},
            {QStringLiteral("detail"),
             status.detail().isEmpty() ? QJsonValue() : QJsonValue(status.detail())},
        };
        // What the output carries over from the input, when the photo details are kept.
        if (done && m_converter->settings().keepPhotoDetails)
            line.insert(QStringLiteral("metadata"),
                        QJsonArray::fromStringList(status.keptMetadata()));
        m_out << QJsonDocument(line).toJson(QJsonDocument::Compact) << '\n';
    } else if (status.kind() == ConversionStatus::Kind::done) {
        m_out << "done: " << input << " -> " << status.outputPath() << " (" << status.statusText()
              << ")\n";
    } else if (status.kind() == ConversionStatus::Kind::error) {
        m_out << "error: " << input << ": " << status.message();
        if (!status.detail().isEmpty())
            m_out << " (" << status.detail() << ')';
        m_out << '\n';
    } else if (status.kind() == ConversionStatus::Kind::skipped) {
        m_out << "skipped: " << input << " -> " << status.outputPath() << " (name taken)\n";
    } else {
        m_out << "cancelled: " << input << '\n';
    }
    m_out.flush();
    printProgress();
}

void HeadlessConversion::printProgress()
{
    if (!m_progress || !m_converter->isConverting())
        return;
    m_err << "\r\033[KConverting " << m_converter->run()->completedCount() << '/'
          << m_converter->run()->totalCount() << " \u2026";
    m_err.flush();
}

void HeadlessConversion::finish()
{
    m_finished = true;
    if (m_progress)
        m_err << "\r\033[K";
    m_err.flush();
    // In JSON mode standard output holds nothing but the per-file objects.
    QTextStream &summary = m_options.json ? m_err : m_out;
    summary << m_done << " done, " << m_failed << " failed, " << m_cancelled << " cancelled";
    if (m_skipped > 0)
        summary << ", " << m_skipped << " skipped";
    summary << '\n';
    summary.flush();
    if (m_signal != 0)
        Q_EMIT finished(m_signal == SIGINT ? Interrupted : 128 + m_signal);
    else
        Q_EMIT finished(m_failed + m_cancelled > 0 || m_badPaths ? SomeFailed : AllDone);
}
