// Renders the real window offscreen in the states worth looking at and writes each as a PNG
// into the folder given as the first argument.

#include "windowharness.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QSGRendererInterface>
#include <QStandardPaths>
#include <QTest>
#include <QTextStream>

namespace {

class Shooter
{
public:
    explicit Shooter(const QString &folder)
        : m_folder(folder)
    {}

    bool shoot(WindowHarness &window, const QString &name)
    {
        QTest::qWait(250); // lets popups finish opening
        const QString path = QDir(m_folder).filePath(name + QStringLiteral(".png"));
        const bool saved = window.window()->grabWindow().save(path);
        QTextStream(stdout) << (saved ? "  " : "  FAILED ") << path << Qt::endl;
        return saved;
    }

private:
    QString m_folder;
};

void showStatuses(WindowHarness &window)
{
    window.setStatus(0, ConversionStatus::done(window.folder() + QStringLiteral("/a.webp"), 12595));
    window.setStatus(1, ConversionStatus::error(QStringLiteral("Could not load image")));
    window.setStatus(2, ConversionStatus::queued());
    window.setStatus(3, ConversionStatus::converting());
    window.setStatus(4, ConversionStatus::cancelled());
    window.setSelected(5, false);
}

void openPresetMenu(WindowHarness &window, bool open)
{
    QMetaObject::invokeMethod(window.find(QStringLiteral("presetMenu")), open ? "open" : "close");
}

} // namespace

int main(int argc, char *argv[])
{
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QGuiApplication app(argc, argv);
    const QString folder =
        QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"))
            .absolutePath();
    QDir().mkpath(folder);
    QTextStream(stdout) << "Screenshots in " << folder << Qt::endl;

    WindowHarness window;
    if (!window.isLoaded())
        return EXIT_FAILURE;
    ImageConverter &converter = *window.converter();
    QQuickItem &view = *window.contentView();
    Shooter shooter(folder);
    bool ok = true;

    ok &= shooter.shoot(window, QStringLiteral("1-empty"));
    view.setProperty("isDragOver", true);
    ok &= shooter.shoot(window, QStringLiteral("2-dragging"));
    view.setProperty("isDragOver", false);

    window.chooseOutputFolder();
    converter.selectOriginalPreset();
    ok &= window.addFiles({
        QStringLiteral("holiday-beach-sunset.png"),
        QStringLiteral("portrait.jpg"),
        QStringLiteral("scan-0001.tiff"),
        QStringLiteral("camera-import-2024-06-15-IMG_4821-final-edit-for-print-version-3.heic"),
        QStringLiteral("logo.bmp"),
        QStringLiteral("animation.gif"),
    });
    showStatuses(window);
    ok &= shooter.shoot(window, QStringLiteral("3-list"));

    // Before the palette switches: Qt 6.4 leaves a hidden popup in the palette it had.
    view.setProperty("newPresetName", QStringLiteral("Thumbnail"));
    view.setProperty("newPresetWidth", QStringLiteral("320"));
    view.setProperty("showAddPreset", true);
    ok &= shooter.shoot(window, QStringLiteral("6-add-preset-sheet"));
    window.typeInto(
        qobject_cast<QQuickItem *>(window.find(QStringLiteral("presetHeightFieldInput"))),
        QStringLiteral("100000"));
    ok &= shooter.shoot(window, QStringLiteral("6-add-preset-sheet-error"));
    view.setProperty("showAddPreset", false);

    const QPalette light = QGuiApplication::palette();
    QGuiApplication::setPalette(WindowHarness::darkPalette());
    ok &= shooter.shoot(window, QStringLiteral("4-list-dark"));
    QGuiApplication::setPalette(light);

    converter.addPreset(QStringLiteral("Web"), 1200, 800);
    openPresetMenu(window, true);
    ok &= shooter.shoot(window, QStringLiteral("5-preset-menu"));
    openPresetMenu(window, false);
    QGuiApplication::setPalette(WindowHarness::darkPalette());
    openPresetMenu(window, true);
    ok &= shooter.shoot(window, QStringLiteral("5-preset-menu-dark"));
    openPresetMenu(window, false);
    QGuiApplication::setPalette(light);

    QObject *chooser = window.find(QStringLiteral("fileChooser"));
    QDir(window.folder()).mkpath(QStringLiteral("shoot 2"));
    QDir(window.folder()).mkpath(QStringLiteral("shoot 10"));
    QMetaObject::invokeMethod(chooser, "openFor", Q_ARG(QVariant, 0),
                              Q_ARG(QVariant, QVariant(QUrl::fromLocalFile(window.folder()))));
    ok &= shooter.shoot(window, QStringLiteral("8-file-chooser"));
    QMetaObject::invokeMethod(chooser, "close");
    QMetaObject::invokeMethod(chooser, "openFor", Q_ARG(QVariant, 1),
                              Q_ARG(QVariant, QVariant(QUrl::fromLocalFile(window.folder()))));
    ok &= shooter.shoot(window, QStringLiteral("8-output-folder-chooser"));
    QMetaObject::invokeMethod(chooser, "close");

    // A run: the statuses that the workers would report are set by hand before any of them
    // arrives, so that the picture holds still.
    ConverterSettings settings = converter.settings();
    settings.fileSizeLimitEnabled = false;
    settings.ppiOption = QStringLiteral("Custom");
    settings.customPPI = 240;
    converter.setSettings(settings);
    QTest::qWait(300); // lets the switch finish moving
    converter.setEncoderLocator([] { return std::optional<QString>(QStringLiteral("/bin/true")); });
    converter.selectAll();
    converter.convertAll();
    window.setStatus(0, ConversionStatus::done(window.folder(), 48231));
    window.setStatus(1, ConversionStatus::converting());
    window.setStatus(2, ConversionStatus::converting());
    const QString path = QDir(folder).filePath(QStringLiteral("7-running.png"));
    const bool saved = window.window()->grabWindow().save(path);
    QTextStream(stdout) << (saved ? "  " : "  FAILED ") << path << Qt::endl;
    ok &= saved;
    ok &= QTest::qWaitFor([&] { return !converter.isConverting(); });

    // A real run over one real image and five empty files: the summary with its failures.
    QImage image(640, 480, QImage::Format_RGB32);
    image.fill(QColor(0x33, 0x88, 0xcc));
    image.save(QDir(window.folder()).filePath(QStringLiteral("holiday-beach-sunset.png")));
    converter.setEncoderLocator([] {
        const QString found = QStandardPaths::findExecutable(QStringLiteral("cwebp"));
        return found.isEmpty() ? std::nullopt : std::optional<QString>(found);
    });
    converter.convertAll();
    ok &= QTest::qWaitFor([&] { return !converter.isConverting(); }, 30000);
    ok &= shooter.shoot(window, QStringLiteral("9-summary"));

    window.setSelected(0, false);
    converter.removeSelected();
    ok &= shooter.shoot(window, QStringLiteral("10-undo-offer"));

    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}
