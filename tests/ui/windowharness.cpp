#include "windowharness.h"

#include "appstyle.h"

#include <QDir>
#include <QFile>
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
    if (m_engine.rootObjects().isEmpty())
        return;
    m_window = qobject_cast<QQuickWindow *>(m_engine.rootObjects().constFirst());
    if (!m_window)
        return;
    m_contentView = m_window->property("contentView").value<QQuickItem *>();
    if (m_contentView)
        m_converter = m_contentView->property("converter").value<ImageConverter *>();
    if (!m_contentView || !m_converter)
        m_window = nullptr;
}

WindowHarness::~WindowHarness() = default;

QObject *WindowHarness::find(const QString &name) const
{
    if (!m_window)
        return nullptr;
    return m_window->findChild<QObject *>(name);
}

QList<QQuickItem *> WindowHarness::findAll(const QString &name) const
{
    QList<QQuickItem *> found;
    if (m_window)
        found = m_window->findChildren<QQuickItem *>(name);
    return found;
}

QQuickItem *WindowHarness::findVisible(const QString &name) const
{
    for (QQuickItem *item : findAll(name)) {
        if (item->isVisible())
            return item;
    }
    return nullptr;
}

bool WindowHarness::addFiles(const QStringList &names)
{
    QList<QUrl> urls;
    for (const QString &name : names) {
        QFile file(QDir(m_files.path()).filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        urls.append(QUrl::fromLocalFile(file.fileName()));
    }
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

void WindowHarness::appendMany(int count) const
{
    QList<FileItem> many;
    many.reserve(count);
    for (int i = 0; i < count; ++i)
        many.append(FileItem::make("/images/" + QByteArray::number(i) + ".png"));
    m_converter->fileModel()->append(many);
}

void WindowHarness::chooseOutputFolder()
{
    QDir(m_files.path()).mkpath(QStringLiteral("out"));
    m_converter->setChosenOutputFolder(
        QUrl::fromLocalFile(QDir(m_files.path()).filePath(QStringLiteral("out"))));
}

void WindowHarness::render() const
{
    if (m_window)
        (void)m_window->grabWindow();
}

void WindowHarness::click(QQuickItem *item, Qt::KeyboardModifiers modifiers) const
{
    render();
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(m_window, Qt::LeftButton, modifiers, centre.toPoint());
}

void WindowHarness::typeInto(QQuickItem *field, const QString &text) const
{
    click(field);
    QMetaObject::invokeMethod(field, "selectAll");
    QTest::keyClick(m_window, Qt::Key_Backspace);
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, m_window, Qt::Key_unknown, QString(ch), Qt::NoModifier);
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
        if (QString::fromLatin1(item->metaObject()->className())
                .contains(QLatin1String("Separator")))
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
