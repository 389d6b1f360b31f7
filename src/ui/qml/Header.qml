import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// The title and the output-folder button.
Rectangle {
    id: root

    required property ImageConverter converter
    readonly property bool hasFolder: converter.outputFolderURL.toString() !== ""

    color: Theme.window
    implicitHeight: row.implicitHeight + 20

    RowLayout {
        id: row

        anchors.fill: parent
        anchors.leftMargin: 20
        anchors.rightMargin: 20
        anchors.topMargin: 10
        anchors.bottomMargin: 10

        Label {
            text: "TESSEL"
            font.pixelSize: 16
            font.bold: true
        }
        Item {
            Layout.fillWidth: true
        }
        Button {
            objectName: "outputFolderButton"
            leftPadding: 8
            rightPadding: 8
            topPadding: 3
            bottomPadding: 3
            Accessible.name: root.hasFolder ? "Output folder: " + folderLabel.text
                                            : folderLabel.text
            onClicked: root.converter.chooseOutputFolder()

            contentItem: Row {
                spacing: 5

                Icon {
                    name: "folder"
                    anchors.verticalCenter: parent.verticalCenter
                }
                Label {
                    id: folderLabel

                    objectName: "outputFolderLabel"
                    anchors.verticalCenter: parent.verticalCenter
                    width: Math.min(implicitWidth, 160)
                    text: root.hasFolder ? FileUrls.folderName(root.converter.outputFolderURL)
                                         : "Set output folder"
                    color: root.hasFolder ? Theme.primary : Theme.secondary
                    font.pixelSize: 13
                    elide: Text.ElideMiddle
                    maximumLineCount: 1
                }
            }
        }
    }
}
