import QtQuick
import QtQuick.Controls
import Tessel

// One file or folder in the file chooser. It takes no keys itself: the list around it handles
// them all, Space included.
Rectangle {
    id: root

    required property int index
    required property string fileName
    required property url fileUrl
    required property bool fileIsDir
    property bool selected: false
    property bool isCurrent: false

    signal picked(int modifiers)
    signal opened

    implicitHeight: row.implicitHeight + 2 * Theme.spacingSmall
    color: selected ? Theme.accentFill : "transparent"
    Accessible.role: Accessible.ListItem
    Accessible.name: (fileIsDir ? "Folder " : "File ") + fileName
    Accessible.selectable: true
    Accessible.selected: selected

    Row {
        id: row

        anchors.verticalCenter: parent.verticalCenter
        x: Theme.spacingLarge
        spacing: Theme.spacing

        Icon {
            anchors.verticalCenter: parent.verticalCenter
            name: root.fileIsDir ? "folder" : "photo"
            size: Theme.chooserIconSize
            color: root.selected ? Theme.accentText : Theme.secondary
        }
        Label {
            objectName: "chooserEntryName"
            anchors.verticalCenter: parent.verticalCenter
            text: root.fileName
            font.pixelSize: Theme.bodySize
            // A long name keeps its start and its extension.
            width: Math.min(implicitWidth, root.width - row.x - Theme.chooserIconSize - row.spacing
                            - Theme.spacingLarge)
            elide: Text.ElideMiddle
            color: root.selected ? Theme.accentText : Theme.primary
        }
    }
    // Inside the row: the list clips whatever lies outside it.
    FocusRing {
        visible: root.isCurrent
        anchors.margins: 0
        border.color: root.selected ? Theme.accentText : Theme.focusRing
    }
    MouseArea {
        anchors.fill: parent
        onClicked: mouse => root.picked(mouse.modifiers)
        onDoubleClicked: root.opened()
    }
}
