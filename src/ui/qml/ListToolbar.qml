import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// Above the list: select all, the selection count, select the files not done, why Convert
// cannot run, add, remove, clear and the run button. Remove and clear can be undone. The
// reason has the room between the two groups, so that no button moves when it shows.
Item {
    id: root

    required property ImageConverter converter
    readonly property bool idle: !converter.isConverting

    signal addFilesRequested

    implicitHeight: row.implicitHeight + 2 * Theme.stripMargin

    RowLayout {
        id: row

        anchors.fill: parent
        anchors.leftMargin: Theme.pageMargin
        anchors.rightMargin: Theme.pageMargin
        anchors.topMargin: Theme.stripMargin
        anchors.bottomMargin: Theme.stripMargin
        spacing: Theme.spacingMedium

        IconButton {
            objectName: "selectAllButton"
            iconName: root.converter.allSelected ? "checkmark.circle.fill" : "circle"
            iconColor: root.converter.allSelected ? Theme.accent : Theme.faint
            label: root.converter.allSelected ? "Deselect all" : "Select all"
            enabled: root.idle
            onClicked: root.converter.allSelected ? root.converter.deselectAll()
                                                  : root.converter.selectAll()
        }
        Label {
            objectName: "selectionCount"
            text: root.converter.selectedCount + "/" + root.converter.fileCount
            font.family: Theme.fixedFont.family
            font.pixelSize: Theme.captionSize
            color: Theme.secondary
        }
        IconButton {
            objectName: "selectUnfinishedButton"
            iconName: "arrow.clockwise"
            label: "Select the files not done yet"
            enabled: root.idle && root.converter.hasUnfinished
            onClicked: root.converter.selectUnfinished()
        }
        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true

            Label {
                objectName: "convertBlocker"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                width: Math.min(implicitWidth, parent.width)
                visible: root.idle && text !== ""
                text: root.converter.convertBlocker
                font.pixelSize: Theme.captionSize
                color: Theme.secondary
                elide: Text.ElideLeft
                horizontalAlignment: Text.AlignRight
            }
        }
        IconButton {
            objectName: "addButton"
            iconName: "plus"
            iconWeight: Font.Medium
            label: "Add images or folders (Ctrl+O)"
            enabled: root.idle
            onClicked: root.addFilesRequested()
        }
        IconButton {
            objectName: "removeButton"
            iconName: "minus"
            iconWeight: Font.Medium
            label: "Remove the checked files"
            enabled: root.converter.canRemove
            onClicked: root.converter.removeSelected()
        }
        IconButton {
            objectName: "clearButton"
            iconName: "xmark"
            iconWeight: Font.Medium
            label: "Remove all files"
            enabled: root.idle
            onClicked: root.converter.clearAll()
        }
        Item {
            implicitWidth: Theme.spacing
        }
        RunButton {
            converter: root.converter
        }
    }
}
