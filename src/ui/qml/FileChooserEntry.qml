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
    property bool isCurrent: false

    signal picked(int modifiers)
    signal opened

    highlighted: selected
    text: fileName
    topPadding: Theme.spacingSmall
    bottomPadding: Theme.spacingSmall
    Accessible.name: (fileIsDir ? "Folder " : "File ") + fileName

    contentItem: Row {
        spacing: Theme.spacing

        Icon {
            anchors.verticalCenter: parent.verticalCenter
            name: root.fileIsDir ? "folder" : "photo"
            size: Theme.chooserIconSize
            color: root.highlighted ? Theme.accentText : Theme.secondary
        }
        Label {
            anchors.verticalCenter: parent.verticalCenter
            text: root.fileName
            color: root.highlighted ? Theme.accentText : Theme.primary
        }
    }

    FocusRing {
        visible: root.isCurrent
        anchors.margins: 0
    }
    MouseArea {
        anchors.fill: parent
        onClicked: mouse => root.picked(mouse.modifiers)
        onDoubleClicked: root.opened()
    }
}
