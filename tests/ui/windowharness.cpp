#include "windowharness.h"

#include "appstyle.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(TesselPlugin)

WindowHarness::WindowHarness()
{
    AppStyle::apply();
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
    if (auto *found = m_window->findChild<QObject *>(name))
        return found;
    return m_window->contentItem()->findChild<QObject *>(name);
}

QList<QQuickItem *> WindowHarness::findAll(const QString &name) const
{
    QList<QQuickItem *> found;
    if (m_window)
        found = m_window->contentItem()->findChildren<QQuickItem *>(name);
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
