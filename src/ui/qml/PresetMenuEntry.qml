import QtQuick
import Tessel

// One preset in the preset menu: "Name  ·  size", with a checkmark when it is selected.
MenuEntry {
    required property var modelData
    readonly property var preset: modelData

    objectName: "presetEntry"
    text: preset.title
    showsCheckmark: preset.isSelected
    Accessible.name: preset.isSelected ? text + ", selected" : text
}
