import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// Above the list: select all, the selection count, add, remove, clear and the run button.
Item {
    id: root

    required property ImageConverter converter
    readonly property bool idle: !converter.isConverting

    signal addFilesRequested

    implicitHeight: row.implicitHeight + 16

    RowLayout {
        id: row

        anchors.fill: parent
        anchors.leftMargin: 20
        anchors.rightMargin: 20
        anchors.topMargin: 8
        anchors.bottomMargin: 8
        spacing: 10

        IconButton {
            objectName: "selectAllButton"
            iconName: root.converter.allSelected ? "checkmark.circle.fill" : "circle"
            iconColor: root.converter.allSelected ? Theme.accent
                                                  : Theme.withAlpha(Theme.secondary, 0.4)
            label: root.converter.allSelected ? "Deselect all" : "Select all"
            enabled: root.idle
            onClicked: root.converter.allSelected ? root.converter.deselectAll()
                                                  : root.converter.selectAll()
        }
        Label {
            objectName: "selectionCount"
            text: root.converter.selectedCount + "/" + root.converter.fileCount
            font.family: Theme.fixedFont.family
            font.pixelSize: 11
            color: Theme.secondary
        }
        Item {
            Layout.fillWidth: true
        }
        IconButton {
            objectName: "addButton"
            iconName: "plus"
            iconWeight: Font.Medium
            label: "Add files"
            enabled: root.idle
            onClicked: root.addFilesRequested()
        }
        IconButton {
            objectName: "removeButton"
            iconName: "minus"
            iconWeight: Font.Medium
            label: "Remove selected"
            enabled: root.idle && !root.converter.noneSelected
            onClicked: root.converter.removeSelected()
        }
        IconButton {
            objectName: "clearButton"
            iconName: "xmark"
            iconWeight: Font.Medium
            label: "Clear list"
            enabled: root.idle
            onClicked: root.converter.clearAll()
        }
        Item {
            implicitWidth: 8
        }
        RunButton {
            converter: root.converter
        }
    }
}
