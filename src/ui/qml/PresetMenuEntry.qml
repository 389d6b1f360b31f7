import QtQuick
import Tessel

// One preset in the preset menu: "Name  ·  size", with a checkmark when it is selected.
MenuEntry {
    required property string presetId
    required property string entryText
    required property bool isSelected

    objectName: "presetEntry"
    text: entryText
    showsCheckmark: isSelected
    Accessible.name: isSelected ? text + ", selected" : text
}
