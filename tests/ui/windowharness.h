#pragma once

#include "appstyle.h"
#include "imageconverter.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QPalette>
#include <QPointer>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

#include <optional>

// Each program that includes the harness gets the window's QML module linked in.
Q_IMPORT_QML_PLUGIN(TesselPlugin)

/// The real window, loaded offscreen over temporary preferences, with helpers to reach its
/// parts by object name and to fill its converter's list. A model tester watches the file list
/// for as long as the window lives.
class WindowHarness
{
public:
    /// `stored` are preferences stored before the window and its converter are created;
    /// `launchFiles` are the files and folders named on the command line. A window that does
    /// not load ends the program: no test can run without it.
    explicit WindowHarness(const QVariantMap &stored = {}, const QList<QUrl> &launchFiles = {})
    {
        for (auto it = stored.begin(); it != stored.end(); ++it)
            m_preferences.setValue(it.key(), it.value());
        AppStyle::apply();
        m_engine.setInitialProperties(
            {{QStringLiteral("launchFiles"), QVariant::fromValue(launchFiles)}});
        m_engine.load(QUrl(QStringLiteral("qrc:/qt/qml/Tessel/Main.qml")));
        m_window = qobject_cast<QQuickWindow *>(m_engine.rootObjects().value(0));
        m_contentView =
            m_window ? m_window->property("contentView").value<QQuickItem *>() : nullptr;
        m_converter = m_contentView ? m_contentView->property("converter").value<ImageConverter *>()
                                    : nullptr;
        if (!m_converter)
            qFatal("The window did not load");
        m_modelTester.emplace(m_converter->fileModel(),
                              QAbstractItemModelTester::FailureReportingMode::QtTest);
    }

    [[nodiscard]] QQuickWindow *window() const { return m_window; }
    [[nodiscard]] QQuickItem *contentView() const { return m_contentView; }
    [[nodiscard]] ImageConverter *converter() const { return m_converter; }
    [[nodiscard]] TemporaryPreferences &preferences() { return m_preferences; }
    [[nodiscard]] QString folder() const { return m_files.path(); }

    /// The first object with `name` below the window; null when there is none.
    [[nodiscard]] QObject *find(const QString &name) const
    {
        return m_window->findChild<QObject *>(name);
    }
    [[nodiscard]] QQuickItem *item(const QString &name) const
    {
        return qobject_cast<QQuickItem *>(find(name));
    }
    /// The text an item named `name` shows.
    [[nodiscard]] QString text(const QString &name) const
    {
        return item(name)->property("text").toString();
    }
    /// Opens a popup or menu; true once it has opened.
    bool open(QObject *popup) const
    {
        QMetaObject::invokeMethod(popup, "open");
        return QTest::qWaitFor([popup] { return popup->property("opened").toBool(); });
    }

    /// Creates empty files with these names and adds them to the list; true once they are in.
    bool addFiles(const QStringList &names)
    {
        const QList<QUrl> urls = touch(m_files.path(), names);
        const qint64 expected = m_converter->fileModel()->fileCount() + names.size();
        m_converter->addFiles(urls);
        return !urls.isEmpty() &&
               QTest::qWaitFor([&] { return m_converter->fileModel()->fileCount() == expected; });
    }
    /// The value of a role (by its QML name) of the list's row `row`.
    [[nodiscard]] QVariant rowValue(int row, const QByteArray &role) const
    {
        QAbstractItemModel *model = m_converter->fileModel();
        return model->data(model->index(row, 0), model->roleNames().key(role));
    }
    /// Sets a row's status or selection as a run or a click would.
    void setStatus(int row, const ConversionStatus &status) const
    {
        m_converter->fileModel()->setStatus(m_converter->files().at(row).id, status);
    }
    void setSelected(int row, bool selected) const
    {
        FileListModel *model = m_converter->fileModel();
        model->setData(model->index(row), selected, FileListModel::IsSelectedRole);
    }
    /// The list's row `row`, laid out, or its part named `name`.
    [[nodiscard]] QQuickItem *row(int row, const QString &name = {}) const
    {
        render();
        QQuickItem *delegate = itemAt(item(QStringLiteral("fileList")), row, "itemAtIndex");
        return delegate && !name.isEmpty() ? delegate->findChild<QQuickItem *>(name) : delegate;
    }
    /// The reason shown beside a disabled Convert; empty while none shows.
    [[nodiscard]] QString blocker() const
    {
        QQuickItem *label = item(QStringLiteral("convertBlocker"));
        return label->isVisible() ? label->property("text").toString() : QString();
    }
    /// The notice's message; empty while none shows.
    [[nodiscard]] QString notice() const
    {
        return item(QStringLiteral("notice"))->isVisible() ? text(QStringLiteral("noticeMessage"))
                                                           : QString();
    }
    /// Gives the converter an output folder, as the folder chooser would.
    void chooseOutputFolder()
    {
        QDir(m_files.path()).mkpath(QStringLiteral("out"));
        m_converter->outputFolder()->setChosen(
            QUrl::fromLocalFile(m_files.filePath(QStringLiteral("out"))));
    }
    /// Lays out and draws the window once, so that positions and sizes are current.
    void render() const { (void)m_window->grabWindow(); }
    /// Clicks the middle of `item` with the mouse, as a user would.
    void click(QQuickItem *item, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        render();
        const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
        QTest::mouseClick(m_window, Qt::LeftButton, modifiers, centre.toPoint());
    }
    /// Clicks into a text field, replaces its text by typing `text` as key presses, and leaves
    /// the cursor there.
    void typeInto(QQuickItem *field, const QString &text) const
    {
        click(field);
        QMetaObject::invokeMethod(field, "selectAll");
        QTest::keyClick(m_window, Qt::Key_Backspace);
        for (const QChar ch : text)
            QTest::sendKeyEvent(QTest::Click, m_window, Qt::Key_unknown, QString(ch), {});
    }
    void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::keyClick(m_window, key, modifiers);
    }
    /// The item at `index` of a menu, or of a list view with "itemAtIndex".
    [[nodiscard]] static QQuickItem *itemAt(QObject *view, int index, const char *how = "itemAt")
    {
        QQuickItem *item = nullptr;
        QMetaObject::invokeMethod(view, how, Q_RETURN_ARG(QQuickItem *, item), Q_ARG(int, index));
        return item;
    }
    /// The entries of a menu as their texts, "---" for a divider and "Title >" for a submenu;
    /// entries that are not shown are left out.
    [[nodiscard]] static QStringList menuEntries(QObject *menu)
    {
        QStringList entries;
        for (int i = 0; i < menu->property("count").toInt(); ++i) {
            const QQuickItem *item = itemAt(menu, i);
            if (!item || !item->isVisible())
                continue;
            const QVariant text = item->property("text");
            const bool opensSubmenu = item->property("subMenu").value<QObject *>();
            entries.append(!text.isValid() ? QStringLiteral("---")
                           : opensSubmenu  ? text.toString() + QStringLiteral(" >")
                                           : text.toString());
        }
        return entries;
    }
    /// A dark system palette, as a dark desktop theme gives.
    [[nodiscard]] static QPalette darkPalette()
    {
        // In the order of QPalette::ColorRole; 0 leaves a role as it is.
        const QRgb colours[] = {0xe8e8ea, 0x36363b, 0x4a4a50, 0x404046, 0x18181a, 0x2c2c30,
                                0xe8e8ea, 0xffffff, 0xe8e8ea, 0x28282c, 0x1f1f22, 0xff000000,
                                0x3b82f6, 0xffffff, 0,        0,        0x2e2e33, 0,
                                0x1f1f22, 0xe8e8ea, 0x8a8a90};
        QPalette p;
        for (int role = 0; role < int(std::size(colours)); ++role) {
            if (colours[role] != 0)
                p.setColor(QPalette::ColorRole(role), QColor(colours[role]));
        }
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            p.setColor(QPalette::Disabled, role, QColor(0x808086));
        return p;
    }

private:
    TemporaryPreferences m_preferences;
    QTemporaryDir m_files;
    QQmlApplicationEngine m_engine;
    QPointer<QQuickWindow> m_window;
    QPointer<QQuickItem> m_contentView;
    QPointer<ImageConverter> m_converter;
    std::optional<QAbstractItemModelTester> m_modelTester;
};
