#pragma once

#include "imageconverter.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QPalette>
#include <QPointer>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

/// The real window, loaded offscreen over temporary preferences, with helpers to reach its
/// parts by object name and to fill its converter's list. A model tester watches the file list
/// for as long as the window lives.
class WindowHarness
{
public:
    /// `prepare` may store preferences before the window and its converter are created;
    /// `launchFiles` are the files and folders named on the command line. A window that does
    /// not load ends the program: no test can run without it.
    explicit WindowHarness(const std::function<void(TemporaryPreferences &)> &prepare = {},
                           const QList<QUrl> &launchFiles = {});
    ~WindowHarness();

    [[nodiscard]] QQuickWindow *window() const { return m_window; }
    [[nodiscard]] QQuickItem *contentView() const { return m_contentView; }
    [[nodiscard]] ImageConverter *converter() const { return m_converter; }
    [[nodiscard]] TemporaryPreferences &preferences() { return m_preferences; }
    [[nodiscard]] QString folder() const { return m_files.path(); }

    /// The first object with `name` below the window; null when there is none.
    [[nodiscard]] QObject *find(const QString &name) const;
    [[nodiscard]] QQuickItem *item(const QString &name) const;
    /// The text an item named `name` shows.
    [[nodiscard]] QString text(const QString &name) const
    {
        return item(name)->property("text").toString();
    }
    /// Opens a popup or menu; true once it has opened.
    bool open(QObject *popup) const;

    /// Creates empty files (and their folders) with these names in `folder`.
    static bool touch(const QString &folder, const QStringList &names);
    /// Creates empty files with these names and adds them to the list; true once they are in.
    bool addFiles(const QStringList &names);
    /// The value of a role (by its QML name) of the list's row `row`.
    [[nodiscard]] QVariant rowValue(int row, const QByteArray &role) const;
    /// Sets a row's status or selection as a run or a click would.
    void setStatus(int row, const ConversionStatus &status) const;
    void setSelected(int row, bool selected) const;
    /// Gives the converter an output folder, as the folder chooser would.
    void chooseOutputFolder();
    /// Lays out and draws the window once, so that positions and sizes are current.
    void render() const;
    /// Clicks the middle of `item` with the mouse, as a user would.
    void click(QQuickItem *item, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const;
    /// Types `text` as key presses into whatever has focus.
    void type(const QString &text) const;
    /// Clicks into a text field, replaces its text by typing `text`, and leaves the cursor there.
    void typeInto(QQuickItem *field, const QString &text) const;
    void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const;
    /// The entries of a menu as their texts, "---" for a divider and "Title >" for a submenu;
    /// entries that are not shown are left out.
    [[nodiscard]] static QStringList menuEntries(QObject *menu);
    /// A dark system palette, as a dark desktop theme gives.
    [[nodiscard]] static QPalette darkPalette();
    /// The item at `index` of a menu.
    [[nodiscard]] static QQuickItem *menuItem(QObject *menu, int index);

private:
    TemporaryPreferences m_preferences;
    QTemporaryDir m_files;
    QQmlApplicationEngine m_engine;
    QPointer<QQuickWindow> m_window;
    QPointer<QQuickItem> m_contentView;
    QPointer<ImageConverter> m_converter;
    std::unique_ptr<QAbstractItemModelTester> m_modelTester;
};
