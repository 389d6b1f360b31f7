import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import Tessel

// The window's root view: owns the converter and the window's own state, and stacks the
// header, the settings strip, the main region and the status bar.
Rectangle {
    id: root

    readonly property ImageConverter converter: ImageConverter {}
    property bool isDragOver: false
    property bool showAddPreset: false
    property alias newPresetName: presetForm.name
    property alias newPresetWidth: presetForm.width
    property alias newPresetHeight: presetForm.height
    readonly property bool hasFiles: converter.fileCount > 0
    readonly property bool isModal: addPresetSheet.visible || fileChooser.visible
                                    || folderDialog.visible

    objectName: "contentView"
    color: Theme.window

    PresetForm {
        id: presetForm

        converter: root.converter
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Header {
            converter: root.converter
            Layout.fillWidth: true
        }
        SettingsStrip {
            converter: root.converter
            Layout.fillWidth: true
            onNewPresetRequested: root.showAddPreset = true
        }
        MainRegion {
            converter: root.converter
            isDragOver: root.isDragOver
            Layout.fillWidth: true
            Layout.fillHeight: true
            onDragOverChanged: over => root.isDragOver = over
            onAddFilesRequested: fileChooser.open()
        }
        StatusBar {
            converter: root.converter
            Layout.fillWidth: true
        }
    }

    AddPresetSheet {
        id: addPresetSheet

        form: presetForm
        shown: root.showAddPreset
        onDismissed: root.showAddPreset = false
    }

    FileChooser {
        id: fileChooser

        onChosen: urls => root.converter.addFiles(urls)
    }

    FolderDialog {
        id: folderDialog

        acceptLabel: "Choose Output Folder"
        onAccepted: root.converter.setChosenOutputFolder(selectedFolder)
    }

    Connections {
        target: root.converter

        function onOutputFolderChooserRequested() {
            folderDialog.open();
        }
    }

    WindowShortcuts {
        converter: root.converter
        enabled: !root.isModal
        onAddFilesRequested: fileChooser.open()
    }
}
