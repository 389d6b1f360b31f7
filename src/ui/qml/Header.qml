import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// The title, "Keep folders" and the output-folder button, whose tooltip is the folder's full
// path. The option is locked while a run is under way, as the strip's settings are.
Rectangle {
    id: root

    required property OutputFolder outputFolder
    required property SettingsPanel panel
    required property bool locked
    readonly property bool hasFolder: outputFolder.isSet
    readonly property string folderPath: outputFolder.path

    signal chooseFolderRequested

    color: Theme.window
    implicitHeight: row.implicitHeight + 2 * Theme.headerMargin

    RowLayout {
        id: row

        anchors.fill: parent
        anchors.leftMargin: Theme.pageMargin
        anchors.rightMargin: Theme.pageMargin
        anchors.topMargin: Theme.headerMargin
        anchors.bottomMargin: Theme.headerMargin

        Label {
            text: "TESSEL"
            font.pixelSize: Theme.titleSize
            font.bold: true
        }
        Item {
            Layout.fillWidth: true
        }
        OptionCheck {
            objectName: "keepFoldersCheck"
            text: "Keep folders"
            hint: "A file found in an added folder goes below the output folder in a folder of "
                  + "that name, along its path inside it"
            checked: root.panel.keepFolders
            enabled: !root.locked
            Layout.rightMargin: Theme.spacing
            onToggled: root.panel.keepFolders = checked
        }
        Button {
            id: button

            objectName: "outputFolderButton"
            leftPadding: Theme.spacing
            rightPadding: Theme.spacing
            topPadding: Theme.spacingTight
            bottomPadding: Theme.spacingTight
            Accessible.name: root.hasFolder ? "Output folder: " + folderLabel.text
                                            : folderLabel.text
            Accessible.description: toolTip
            readonly property string toolTip: root.hasFolder ? root.folderPath
                                                             : "Choose where the WebP files go"
            ToolTip.visible: hovered
            ToolTip.delay: Theme.toolTipDelay
            ToolTip.text: toolTip
            onClicked: root.chooseFolderRequested()

            contentItem: Row {
                spacing: Theme.spacingSmall + 1

                Icon {
                    name: "folder"
                    anchors.verticalCenter: parent.verticalCenter
                }
                Label {
                    id: folderLabel

                    objectName: "outputFolderLabel"
                    anchors.verticalCenter: parent.verticalCenter
                    width: Math.min(implicitWidth, Theme.folderNameWidth)
                    text: root.hasFolder ? DisplayText.folderName(root.outputFolder.url)
                                         : "Set output folder"
                    color: root.hasFolder ? Theme.primary : Theme.secondary
                    font.pixelSize: Theme.bodySize
                    elide: Text.ElideMiddle
                    maximumLineCount: 1
                }
            }
        }
    }
}
