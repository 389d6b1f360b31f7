import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// One file of the list: its checkbox, status indicator, name and status text.
Item {
    id: root

    required property var model
    required property string fileName
    required property bool isSelected
    required property int statusKind
    readonly property string statusName: ["done", "error", "queued", "converting", "cancelled"][statusKind]
    required property string statusText
    required property ImageConverter converter

    objectName: "fileRow"
    implicitHeight: 30
    opacity: isSelected ? 1 : 0.45

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 20
        anchors.rightMargin: 20
        anchors.topMargin: 6
        anchors.bottomMargin: 6
        spacing: 10

        IconButton {
            objectName: "rowCheckbox"
            padding: 0
            iconName: root.isSelected ? "checkmark.circle.fill" : "circle"
            iconColor: root.isSelected ? Theme.accent : Theme.withAlpha(Theme.secondary, 0.3)
            label: (root.isSelected ? "Deselect " : "Select ") + root.fileName
            enabled: !root.converter.isConverting
            onClicked: {
                root.model.isSelected = !root.isSelected;
            }
        }
        StatusIndicator {
            statusName: root.statusName
        }
        Label {
            objectName: "fileNameLabel"
            text: root.fileName
            font.pixelSize: 13
            color: root.isSelected ? Theme.primary : Theme.secondary
            elide: Text.ElideMiddle
            maximumLineCount: 1
            Layout.fillWidth: true
        }
        TextInput {
            objectName: "statusTextField"
            text: root.statusText
            readOnly: true
            selectByMouse: true
            clip: true
            font.family: Theme.fixedFont.family
            font.pixelSize: 12
            color: Theme.statusColor(root.statusName)
            selectionColor: Theme.accent
            selectedTextColor: Theme.accentText
            Layout.maximumWidth: root.width / 2
        }
    }
}
