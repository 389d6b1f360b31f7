import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import Tessel

// The window's root view: owns the converter and the window's own state, and stacks the
// header, the settings strip, the main region and the status bar. Notices (an undo offer, a
// file manager that did not answer) appear above the status bar.
Rectangle {
    id: root

    readonly property ImageConverter converter: ImageConverter {}
    property bool isDragOver: false
    property bool showAddPreset: false
    property alias newPresetName: presetForm.name
    property alias newPresetWidth: presetForm.width
    property alias newPresetHeight: presetForm.height
    readonly property bool hasFiles: converter.fileList.fileCount > 0
    // Set while the window asks something of its own (quitting during a run).
    property bool isAsking: false
    readonly property bool isModal: isAsking || addPresetSheet.visible || fileChooser.visible
                                    || folderDialog.visible || reconvertDialog.visible
    readonly property alias notice: notice

    function undo() {
        notice.hide();
        if (root.converter.canUndo)
            root.converter.undo();
    }
    function redo() {
        notice.hide();
        if (root.converter.canRedo)
            root.converter.redo();
    }
    // Convert, after asking when some of the selected files are done already.
    function convert() {
        const done = root.converter.fileList.selectedDoneCount();
        if (done > 0)
            reconvertDialog.ask(done, root.converter.fileList.selectedCount);
        else
            root.converter.convertAll();
    }
    function chooseOutputFolder() {
        const current = root.converter.outputFolder.url;
        const start = current.toString() !== "" ? current : LocalFiles.picturesFolder;
        if (DesktopIntegration.hasNativeDialogs) {
            folderDialog.currentFolder = start;
            folderDialog.open();
        } else {
            fileChooser.openFor(FileChooser.OutputFolder, start);
        }
    }

    objectName: "contentView"
    color: Theme.window
    focus: true

    // A click outside an entry field leaves it, so that keys act on the window again.
    FieldFocus {
        window: root.Window.window
        home: root
    }

    SettingsPanel {
        id: settingsPanel

        converter: root.converter
    }

    RunReporter {
        id: reporter

        run: root.converter.run
        window: root.Window.window
    }

    PresetForm {
        id: presetForm

        store: root.converter.settingsStore
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Header {
            outputFolder: root.converter.outputFolder
            panel: settingsPanel
            locked: root.converter.run.isConverting
            Layout.fillWidth: true
            onChooseFolderRequested: root.chooseOutputFolder()
        }
        SettingsStrip {
            panel: settingsPanel
            locked: root.converter.run.isConverting
            Layout.fillWidth: true
            onNewPresetRequested: root.showAddPreset = true
        }
        FilesPane {
            converter: root.converter
            isDragOver: root.isDragOver
            Layout.fillWidth: true
            Layout.fillHeight: true
            onDragOverChanged: over => root.isDragOver = over
            onAddFilesRequested: fileChooser.openFor(FileChooser.Inputs)
            onConvertRequested: root.convert()
        }
        StatusBar {
            fileList: root.converter.fileList
            run: root.converter.run
            outputFolder: root.converter.outputFolder
            timeText: reporter.timeText
            Layout.fillWidth: true
        }
    }

    Notice {
        id: notice

        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 3 * Theme.pageMargin
    }

    AddPresetSheet {
        id: addPresetSheet

        form: presetForm
        shown: root.showAddPreset
        onDismissed: root.showAddPreset = false
    }

    FileChooser {
        id: fileChooser

        extensions: root.converter.acceptedExtensions
        onChosen: urls => root.converter.addFiles(urls)
        onFolderChosen: url => root.converter.outputFolder.setChosen(url)
    }

    FolderDialog {
        id: folderDialog

        title: "Choose Output Folder"
        acceptLabel: "Choose"
        onAccepted: root.converter.outputFolder.setChosen(selectedFolder)
    }

    ReconvertDialog {
        id: reconvertDialog

        onAllChosen: root.converter.convertAll()
        onOthersChosen: root.converter.convertUnfinished()
    }

    Connections {
        target: root.converter.outputFolder

        function onChooserRequested() {
            root.chooseOutputFolder();
        }
    }
    Connections {
        target: root.converter

        function onRemovalRecorded(text) {
            notice.show(text, "Undo", root.undo);
        }
        function onNoticeRequested(text) {
            notice.show(text);
        }
    }
    // The output folder may have been moved or deleted while the window was in the background.
    Connections {
        target: root.Window.window

        function onActiveChanged() {
            if (root.Window.window.active)
                root.converter.outputFolder.recheck();
        }
    }
    Connections {
        target: DesktopIntegration

        function onProblem(message) {
            notice.show(message);
        }
    }

    WindowShortcuts {
        converter: root.converter
        enabled: !root.isModal
        onAddFilesRequested: fileChooser.openFor(FileChooser.Inputs)
        onConvertRequested: root.convert()
        onUndoRequested: root.undo()
        onRedoRequested: root.redo()
        onCloseRequested: root.Window.window.close()
    }
}
