import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// One preset in the preset menu: "Name  ·  size", with a checkmark when it is selected.
MenuItem {
    id: root

    required property var modelData
    readonly property var preset: modelData

    objectName: "presetEntry"
    text: preset.title
    Accessible.name: preset.isSelected ? text + ", selected" : text

    contentItem: RowLayout {
        spacing: 8

        Label {
            text: root.text
            font: root.font
            color: root.highlighted ? Theme.accentText : Theme.primary
            Layout.fillWidth: true
        }
        Icon {
            objectName: "presetCheckmark"
            name: "checkmark"
            visible: root.preset.isSelected
            color: root.highlighted ? Theme.accentText : Theme.primary
        }
    }
}
