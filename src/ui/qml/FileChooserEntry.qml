import QtQuick
import QtQuick.Controls
import Tessel

// One file or folder in the file chooser.
ItemDelegate {
    id: root

    required property int index
    required property string fileName
    required property url fileUrl
    required property bool fileIsDir
    property bool selected: false

    signal picked(int modifiers)
    signal opened

    highlighted: selected
    text: fileName
    topPadding: 4
    bottomPadding: 4
    Accessible.name: (fileIsDir ? "Folder " : "File ") + fileName

    contentItem: Row {
        spacing: 8

        Icon {
            anchors.verticalCenter: parent.verticalCenter
            name: root.fileIsDir ? "folder" : "photo"
            size: 16
            color: root.highlighted ? Theme.accentText : Theme.secondary
        }
        Label {
            anchors.verticalCenter: parent.verticalCenter
            text: root.fileName
            color: root.highlighted ? Theme.accentText : Theme.primary
        }
    }

    MouseArea {
        anchors.fill: parent
        onClicked: mouse => root.picked(mouse.modifiers)
        onDoubleClicked: root.opened()
    }
}
