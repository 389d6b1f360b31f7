import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// A caption ("Width", "Height") above a pixel field of the add-preset sheet.
ColumnLayout {
    id: root

    required property string caption
    property alias text: field.text

    signal textEdited(string text)
    signal accepted

    spacing: 3

    Label {
        text: root.caption
        font.pixelSize: 13
        color: Theme.secondary
    }
    SheetField {
        id: field

        objectName: root.objectName + "Input"
        placeholderText: "px"
        font.family: Theme.fixedFont.family
        Accessible.name: root.caption + " in pixels"
        Layout.preferredWidth: 100
        onTextChanged: root.textEdited(text)
        onAccepted: root.accepted()
    }
}
