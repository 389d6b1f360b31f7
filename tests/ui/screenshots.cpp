// Renders the real window offscreen in the states worth looking at and writes each as a PNG
// into the folder given as the first argument.

#include "webpencoder.h"
#include "windowharness.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QSGRendererInterface>
#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QGuiApplication app(argc, argv);
    // The pictures show the window at the body size its layout was drawn for, whatever the
    // font of the machine that takes them.
    QFont font = QGuiApplication::font();
    font.setPixelSize(13);
    QGuiApplication::setFont(font);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : u"screenshots"_s);
    folder.mkpath(u"."_s);

    WindowHarness window;
    ImageConverter &converter = *window.converter();
    QQuickItem &view = *window.contentView();
    const QPalette light = QGuiApplication::palette();
    bool ok = true;
    // `settle` lets popups and switches finish moving first.
    auto shoot = [&](const QString &name, bool settle = true) {
        if (settle)
            QTest::qWait(300);
        const QString path = folder.filePath(name + u".png"_s);
        const bool saved = window.window()->grabWindow().save(path);
        QTextStream(stdout) << (saved ? "  " : "  FAILED ") << path << Qt::endl;
        ok &= saved;
    };

    shoot(u"1-empty"_s);
    view.setProperty("isDragOver", true);
    shoot(u"2-dragging"_s);
    view.setProperty("isDragOver", false);

    window.chooseOutputFolder();
    converter.settingsStore()->selectOriginalPreset();
    ok &=
        window.addFiles({u"holiday-beach-sunset.png"_s, u"portrait.jpg"_s, u"scan-0001.tiff"_s,
                         u"camera-import-2024-06-15-IMG_4821-final-edit-for-print-version-3.heic"_s,
                         u"logo.bmp"_s, u"animation.gif"_s});
    const ConversionStatus statuses[] = {
        ConversionStatus::done(window.folder() + u"/a.webp"_s, 12595),
        ConversionStatus::error(u"Could not load image"_s), ConversionStatus::queued(),
        ConversionStatus::converting(), ConversionStatus::cancelled()};
    for (int row = 0; row < 5; ++row)
        window.setStatus(row, statuses[row]);
    window.setSelected(5, false);
    shoot(u"3-list"_s);

    // Before the palette switches: Qt 6.4 leaves a hidden popup in the palette it had.
    view.setProperty("newPresetName", u"Thumbnail"_s);
    view.setProperty("newPresetWidth", u"320"_s);
    view.setProperty("showAddPreset", true);
    shoot(u"6-add-preset-sheet"_s);
    window.typeInto(window.item(u"presetHeightFieldInput"_s), u"100000"_s);
    shoot(u"6-add-preset-sheet-error"_s);
    view.setProperty("showAddPreset", false);

    converter.settingsStore()->addPreset(u"Web"_s, 1200, 800);
    for (const bool dark : {false, true}) {
        QGuiApplication::setPalette(dark ? WindowHarness::darkPalette() : light);
        if (dark)
            shoot(u"4-list-dark"_s);
        QMetaObject::invokeMethod(window.find(u"presetMenu"_s), "open");
        shoot(dark ? u"5-preset-menu-dark"_s : u"5-preset-menu"_s);
        QMetaObject::invokeMethod(window.find(u"presetMenu"_s), "close");
    }
    QGuiApplication::setPalette(light);

    ok &= !touch(window.folder(), {u"shoot 2/a.png"_s, u"shoot 10/a.png"_s}).isEmpty();
    for (const int forOutput : {0, 1}) {
        QObject *chooser = window.find(u"fileChooser"_s);
        QMetaObject::invokeMethod(chooser, "openFor", Q_ARG(QVariant, forOutput),
                                  Q_ARG(QVariant, QUrl::fromLocalFile(window.folder())));
        shoot(forOutput ? u"8-output-folder-chooser"_s : u"8-file-chooser"_s);
        QMetaObject::invokeMethod(chooser, "close");
    }

    // A run: the statuses that the workers would report are set by hand before any of them
    // arrives, so that the picture holds still.
    ConverterSettings settings = converter.settings();
    settings.fileSizeLimitEnabled = false;
    settings.ppiOption = u"Custom"_s;
    settings.customPPI = 240;
    converter.settingsStore()->use(settings);
    QTest::qWait(300); // lets the switch finish moving
    converter.setEncoderLocator([] { return std::optional<QString>(u"/bin/true"_s); });
    converter.fileModel()->selectAll();
    converter.convertAll();
    window.setStatus(
        0, ConversionStatus::done(window.folder() + u"/holiday-beach-sunset.webp"_s, 48231));
    window.setStatus(1, ConversionStatus::converting());
    window.setStatus(2, ConversionStatus::converting());
    shoot(u"7-running"_s, false);
    ok &= QTest::qWaitFor([&] { return !converter.isConverting(); });

    // A real run over one real image and five empty files: the summary with its failures.
    QImage image(640, 480, QImage::Format_RGB32);
    image.fill(QColor(0x33, 0x88, 0xcc));
    image.save(QDir(window.folder()).filePath(u"holiday-beach-sunset.png"_s));
    converter.setEncoderLocator(&WebpEncoder::locate);
    converter.convertAll();
    ok &= QTest::qWaitFor([&] { return !converter.isConverting(); }, 30000);
    shoot(u"9-summary"_s);

    window.setSelected(0, false);
    converter.removeSelected();
    shoot(u"10-undo-offer"_s);
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}
