#include "windowharness.h"

#include "appstyle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(TesselPlugin)

WindowHarness::WindowHarness(const std::function<void(TemporaryPreferences &)> &prepare,
                             const QList<QUrl> &launchFiles)
{
    if (prepare)
        prepare(m_preferences);
    AppStyle::apply();
    m_engine.setInitialProperties(
        {{QStringLiteral("launchFiles"), QVariant::fromValue(launchFiles)}});
    m_engine.load(QUrl(QStringLiteral("qrc:/qt/qml/Tessel/Main.qml")));
    if (!m_engine.rootObjects().isEmpty())
        m_window = qobject_cast<QQuickWindow *>(m_engine.rootObjects().constFirst());
    if (m_window)
        m_contentView = m_window->property("contentView").value<QQuickItem *>();
    if (m_contentView)
        m_converter = m_contentView->property("converter").value<ImageConverter *>();
    if (!m_converter)
        qFatal("The window did not load");
    m_modelTester = std::make_unique<QAbstractItemModelTester>(
        m_converter->fileModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
}

WindowHarness::~WindowHarness() = default;

QObject *WindowHarness::find(const QString &name) const
{
    return m_window->findChild<QObject *>(name);
}

QQuickItem *WindowHarness::item(const QString &name) const
{
    return qobject_cast<QQuickItem *>(find(name));
}

bool WindowHarness::open(QObject *popup) const
{
    QMetaObject::invokeMethod(popup, "open");
    return QTest::qWaitFor([popup] { return popup->property("opened").toBool(); });
}

bool WindowHarness::touch(const QString &folder, const QStringList &names)
{
    for (const QString &name : names) {
        QFile file(QDir(folder).filePath(name));
        if (!QDir().mkpath(QFileInfo(file).path()) || !file.open(QIODevice::WriteOnly))
            return false;
    }
    return true;
}

bool WindowHarness::addFiles(const QStringList &names)
{
    if (!touch(m_files.path(), names))
        return false;
    QList<QUrl> urls;
    for (const QString &name : names)
        urls.append(QUrl::fromLocalFile(QDir(m_files.path()).filePath(name)));
    const qint64 expected = m_converter->fileCount() + urls.size();
    m_converter->addFiles(urls);
    return QTest::qWaitFor([&] { return m_converter->fileCount() == expected; });
}

QVariant WindowHarness::rowValue(int row, const QByteArray &role) const
{
    QAbstractItemModel *model = m_converter->fileModel();
    return model->data(model->index(row, 0), model->roleNames().key(role));
}

void WindowHarness::setStatus(int row, const ConversionStatus &status) const
{
    m_converter->fileModel()->setStatus(m_converter->files().at(row).id, status);
}

void WindowHarness::setSelected(int row, bool selected) const
{
    FileListModel *model = m_converter->fileModel();
    model->setData(model->index(row), selected, FileListModel::IsSelectedRole);
}

void WindowHarness::chooseOutputFolder()
{
    QDir(m_files.path()).mkpath(QStringLiteral("out"));
    m_converter->setChosenOutputFolder(
        QUrl::fromLocalFile(QDir(m_files.path()).filePath(QStringLiteral("out"))));
}

void WindowHarness::render() const
{
    (void)m_window->grabWindow();
}

void WindowHarness::click(QQuickItem *item, Qt::KeyboardModifiers modifiers) const
{
    render();
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(m_window, Qt::LeftButton, modifiers, centre.toPoint());
}

void WindowHarness::type(const QString &text) const
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, m_window, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

void WindowHarness::typeInto(QQuickItem *field, const QString &text) const
{
    click(field);
    QMetaObject::invokeMethod(field, "selectAll");
    QTest::keyClick(m_window, Qt::Key_Backspace);
    type(text);
}

void WindowHarness::pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) const
{
    QTest::keyClick(m_window, key, modifiers);
}

QQuickItem *WindowHarness::menuItem(QObject *menu, int index)
{
    QQuickItem *item = nullptr;
    QMetaObject::invokeMethod(menu, "itemAt", Q_RETURN_ARG(QQuickItem *, item), Q_ARG(int, index));
    return item;
}

QStringList WindowHarness::menuEntries(QObject *menu)
{
    QStringList entries;
    const int count = menu->property("count").toInt();
    for (int i = 0; i < count; ++i) {
        QQuickItem *item = menuItem(menu, i);
        if (!item || !item->isVisible())
            continue;
        if (!item->property("text").isValid())
            entries.append(QStringLiteral("---"));
        else if (item->property("subMenu").value<QObject *>())
            entries.append(item->property("text").toString() + QStringLiteral(" >"));
        else
            entries.append(item->property("text").toString());
    }
    return entries;
}

QPalette WindowHarness::darkPalette()
{
    // In the order of QPalette::ColorRole; 0 leaves a role as it is.
    const QRgb colours[] = {0xe8e8ea, 0x36363b, 0x4a4a50, 0x404046, 0x18181a,   0x2c2c30, 0xe8e8ea,
                            0xffffff, 0xe8e8ea, 0x28282c, 0x1f1f22, 0xff000000, 0x3b82f6, 0xffffff,
                            0,        0,        0x2e2e33, 0,        0x1f1f22,   0xe8e8ea, 0x8a8a90};
    QPalette p;
    for (int role = 0; role < int(std::size(colours)); ++role) {
        if (colours[role] != 0)
            p.setColor(QPalette::ColorRole(role), QColor(colours[role]));
    }
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(0x808086));
    return p;
}
