// Renders the real window offscreen in the states worth looking at and writes each as a PNG
// into the folder given as the first argument.

#include "windowharness.h"

#include <QDir>
#include <QGuiApplication>
#include <QPalette>
#include <QSGRendererInterface>
#include <QTest>
#include <QTextStream>

namespace {

QPalette darkPalette()
{
    QPalette p;
    const QColor window(0x1f, 0x1f, 0x22);
    const QColor text(0xe8, 0xe8, 0xea);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, QColor(0x28, 0x28, 0x2c));
    p.setColor(QPalette::AlternateBase, QColor(0x2e, 0x2e, 0x33));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0x36, 0x36, 0x3b));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Highlight, QColor(0x3b, 0x82, 0xf6));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, QColor(0x8a, 0x8a, 0x90));
    p.setColor(QPalette::ToolTipBase, window);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Light, QColor(0x4a, 0x4a, 0x50));
    p.setColor(QPalette::Midlight, QColor(0x40, 0x40, 0x46));
    p.setColor(QPalette::Mid, QColor(0x2c, 0x2c, 0x30));
    p.setColor(QPalette::Dark, QColor(0x18, 0x18, 0x1a));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x86));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x86));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x86));
    return p;
}

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

void showStatuses(ImageConverter &converter, const QString &outputFolder)
{
    const auto &files = converter.files();
    FileListModel *model = converter.fileModel();
    model->setStatus(files.at(0).id,
                     ConversionStatus::done(outputFolder + QStringLiteral("/a.webp"), 12595));
    model->setStatus(files.at(1).id,
                     ConversionStatus::error(QStringLiteral("Could not load image")));
    model->setStatus(files.at(2).id, ConversionStatus::queued());
    model->setStatus(files.at(3).id, ConversionStatus::converting());
    model->setStatus(files.at(4).id, ConversionStatus::cancelled());
    model->setData(model->index(5), false, FileListModel::IsSelectedRole);
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
    showStatuses(converter, window.folder());
    ok &= shooter.shoot(window, QStringLiteral("3-list"));

    const QPalette light = QGuiApplication::palette();
    QGuiApplication::setPalette(darkPalette());
    ok &= shooter.shoot(window, QStringLiteral("4-list-dark"));
    QGuiApplication::setPalette(light);

    converter.addPreset(QStringLiteral("Web"), 1200, 800);
    QMetaObject::invokeMethod(window.find(QStringLiteral("presetMenu")), "open");
    ok &= shooter.shoot(window, QStringLiteral("5-preset-menu"));
    QMetaObject::invokeMethod(window.find(QStringLiteral("presetMenu")), "close");

    QObject *chooser = window.find(QStringLiteral("fileChooser"));
    QMetaObject::invokeMethod(chooser, "openFolder",
                              Q_ARG(QVariant, QVariant(QUrl::fromLocalFile(window.folder()))));
    QMetaObject::invokeMethod(chooser, "open");
    ok &= shooter.shoot(window, QStringLiteral("8-file-chooser"));
    QMetaObject::invokeMethod(chooser, "close");

    view.setProperty("newPresetName", QStringLiteral("Thumbnail"));
    view.setProperty("newPresetWidth", QStringLiteral("320"));
    view.setProperty("showAddPreset", true);
    ok &= shooter.shoot(window, QStringLiteral("6-add-preset-sheet"));
    view.setProperty("showAddPreset", false);

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
    converter.fileModel()->setStatus(converter.files().at(0).id,
                                     ConversionStatus::done(window.folder(), 48231));
    converter.fileModel()->setStatus(converter.files().at(1).id, ConversionStatus::converting());
    converter.fileModel()->setStatus(converter.files().at(2).id, ConversionStatus::converting());
    const QString path = QDir(folder).filePath(QStringLiteral("7-running.png"));
    const bool saved = window.window()->grabWindow().save(path);
    QTextStream(stdout) << (saved ? "  " : "  FAILED ") << path << Qt::endl;
    ok &= saved;
    ok &= QTest::qWaitFor([&] { return !converter.isConverting(); });

    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}
