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
    readonly property FileListModel fileList: converter.fileList
    readonly property BatchRun run: converter.run
    readonly property bool idle: !run.isConverting

    signal addFilesRequested
    signal convertRequested

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
            iconName: root.fileList.allSelected ? "checkmark.circle.fill" : "circle"
            iconColor: root.fileList.allSelected ? Theme.accent : Theme.faint
            label: root.fileList.allSelected ? "Deselect all" : "Select all"
            enabled: root.idle
            onClicked: root.fileList.allSelected ? root.fileList.deselectAll()
                                                 : root.fileList.selectAll()
        }
        Label {
            objectName: "selectionCount"
            text: root.fileList.selectedCount + "/" + root.fileList.fileCount
            font.family: Theme.fixedFont.family
            font.pixelSize: Theme.captionSize
            color: Theme.secondary
        }
        IconButton {
            objectName: "selectUnfinishedButton"
            iconName: "arrow.clockwise"
            label: "Select the files not done yet"
            enabled: root.idle && root.fileList.hasUnfinished
            onClicked: root.fileList.selectUnfinished()
        }
        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true

            Label {
                objectName: "convertBlocker"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                width: Math.min(implicitWidth, parent.width)
                visible: (root.idle || root.run.isStopping) && text !== ""
                text: root.run.isStopping ? "Stopping\u2026 " + root.run.runningCount + " still converting"
                                          : root.converter.convertBlocker
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
            onConvertRequested: root.convertRequested()
        }
    }
}
