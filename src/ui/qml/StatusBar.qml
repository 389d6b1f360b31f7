import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// Along the bottom: the run's progress, the done, error and cancelled counts, Open Folder and
// the version.
ColumnLayout {
    id: root

    required property ImageConverter converter
    readonly property bool canOpenFolder: converter.outputFolderURL.toString() !== ""
                                          && converter.doneCount >= 1 && !converter.isConverting

    spacing: 0

    ProgressBar {
        id: progressBar

        objectName: "progressBar"
        visible: root.converter.isConverting
        from: 0
        to: Math.max(1, root.converter.totalCount)
        value: root.converter.completedCount
        Layout.fillWidth: true
        Layout.leftMargin: 20
        Layout.rightMargin: 20

        // A thin bar, as a linear progress indicator is, rather than the style's tall box.
        background: Rectangle {
            implicitHeight: 4
            radius: 2
            color: Theme.separator
        }
        contentItem: Item {
            implicitHeight: 4

            Rectangle {
                width: progressBar.visualPosition * parent.width
                height: parent.height
                radius: 2
                color: Theme.accent
            }
        }
    }
    RowLayout {
        spacing: 12
        Layout.fillWidth: true
        Layout.leftMargin: 20
        Layout.rightMargin: 20
        Layout.topMargin: 8
        Layout.bottomMargin: 8

        Row {
            spacing: 8

            CountLabel {
                objectName: "doneCount"
                visible: root.converter.doneCount >= 1
                iconName: "checkmark.circle.fill"
                count: root.converter.doneCount
                color: Theme.green
                description: "converted"
            }
            CountLabel {
                objectName: "errorCount"
                visible: root.converter.errorCount >= 1
                iconName: "exclamationmark.triangle.fill"
                count: root.converter.errorCount
                color: Theme.red
                description: "failed"
            }
            CountLabel {
                objectName: "cancelledCount"
                visible: root.converter.cancelledCount >= 1
                iconName: "minus.circle.fill"
                count: root.converter.cancelledCount
                color: Theme.orange
                description: "cancelled"
            }
            Label {
                objectName: "progressFraction"
                visible: root.converter.isConverting
                anchors.verticalCenter: parent.verticalCenter
                text: root.converter.completedCount + "/" + root.converter.totalCount
                font.family: Theme.fixedFont.family
                font.pixelSize: 12
                color: Theme.secondary
            }
        }
        Item {
            Layout.fillWidth: true
        }
        Button {
            objectName: "openFolderButton"
            visible: root.canOpenFolder
            flat: true
            padding: 2
            Accessible.name: "Open Folder"
            onClicked: Qt.openUrlExternally(root.converter.outputFolderURL)

            contentItem: Row {
                spacing: 3

                Icon {
                    anchors.verticalCenter: parent.verticalCenter
                    name: "arrow.right.circle"
                    color: Theme.accent
                }
                Label {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "Open Folder"
                    font.pixelSize: 13
                    font.weight: Font.Medium
                    color: Theme.accent
                }
            }
        }
        Label {
            objectName: "versionLabel"
            text: "v" + AppInfo.version
            font.pixelSize: 13
            color: Theme.withAlpha(Theme.secondary, 0.4)
        }
    }
}
