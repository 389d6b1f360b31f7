import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// Along the bottom: the run's progress with its elapsed and remaining time, the done, error
// and cancelled counts, the last run's summary, Open Folder and the version.
ColumnLayout {
    id: root

    required property FileListModel fileList
    required property BatchRun run
    required property OutputFolder outputFolder
    property string timeText
    readonly property bool canOpenFolder: outputFolder.isSet && outputFolder.isThere
                                          && fileList.doneCount >= 1
                                          && !run.isConverting
    readonly property string summary: run.summaryText

    spacing: 0

    ProgressBar {
        id: progressBar

        objectName: "progressBar"
        visible: root.run.isConverting
        from: 0
        to: Math.max(1, root.run.totalCount)
        value: root.run.completedCount
        Layout.fillWidth: true
        Layout.leftMargin: Theme.pageMargin
        Layout.rightMargin: Theme.pageMargin

        // A thin bar, as a linear progress indicator is, rather than the style's tall box.
        background: Rectangle {
            implicitHeight: Theme.spacingSmall
            radius: Theme.smallRadius
            color: Theme.separator
        }
        contentItem: Item {
            implicitHeight: Theme.spacingSmall

            Rectangle {
                width: progressBar.visualPosition * parent.width
                height: parent.height
                radius: Theme.smallRadius
                color: Theme.accent
            }
        }
    }
    RowLayout {
        spacing: Theme.spacingLarge
        Layout.fillWidth: true
        Layout.leftMargin: Theme.pageMargin
        Layout.rightMargin: Theme.pageMargin
        Layout.topMargin: Theme.stripMargin
        Layout.bottomMargin: Theme.stripMargin

        Row {
            spacing: Theme.spacing

            CountLabel {
                objectName: "doneCount"
                visible: root.fileList.doneCount >= 1
                iconName: "checkmark.circle.fill"
                count: root.fileList.doneCount
                color: Theme.statusColor(Status.Done)
                description: "converted"
            }
            CountLabel {
                objectName: "errorCount"
                visible: root.fileList.errorCount >= 1
                iconName: "exclamationmark.triangle.fill"
                count: root.fileList.errorCount
                color: Theme.statusColor(Status.Error)
                description: "failed"
            }
            CountLabel {
                objectName: "cancelledCount"
                visible: root.fileList.cancelledCount >= 1
                iconName: "minus.circle.fill"
                count: root.fileList.cancelledCount
                color: Theme.statusColor(Status.Cancelled)
                description: "cancelled"
            }
            CountLabel {
                objectName: "skippedCount"
                visible: root.fileList.skippedCount >= 1
                iconName: "skip.forward"
                count: root.fileList.skippedCount
                color: Theme.statusColor(Status.Skipped)
                description: "skipped, their names taken"
            }
            Label {
                objectName: "progressFraction"
                visible: root.run.isConverting
                anchors.verticalCenter: parent.verticalCenter
                text: root.run.completedCount + "/" + root.run.totalCount
                font.family: Theme.fixedFont.family
                font.pixelSize: Theme.smallSize
                color: Theme.secondary
            }
        }
        Label {
            objectName: "runTimeLabel"
            visible: root.run.isConverting && text !== ""
            text: root.timeText
            font.pixelSize: Theme.smallSize
            color: Theme.secondary
        }
        Label {
            objectName: "summaryLabel"
            visible: text !== ""
            text: root.summary
            font.pixelSize: Theme.smallSize
            color: Theme.secondary
            elide: Text.ElideRight
            Layout.fillWidth: true
            Accessible.role: Accessible.StaticText
            Accessible.name: text
        }
        Item {
            visible: root.summary === ""
            Layout.fillWidth: true
        }
        Button {
            objectName: "openFolderButton"
            visible: root.canOpenFolder
            flat: true
            padding: Theme.listMargin
            Accessible.name: "Open Folder"
            ToolTip.visible: hovered
            ToolTip.delay: Theme.toolTipDelay
            ToolTip.text: root.outputFolder.path
            onClicked: DesktopIntegration.openFolder(root.outputFolder.url)

            contentItem: Row {
                spacing: Theme.spacingTight

                Icon {
                    anchors.verticalCenter: parent.verticalCenter
                    name: "arrow.right.circle"
                    color: Theme.link
                }
                Label {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "Open Folder"
                    font.pixelSize: Theme.bodySize
                    font.weight: Font.Medium
                    color: Theme.link
                }
            }

            FocusRing {}
        }
        Label {
            objectName: "versionLabel"
            text: "v" + AppInfo.version
            font.pixelSize: Theme.bodySize
            color: Theme.secondary
        }
    }
}
