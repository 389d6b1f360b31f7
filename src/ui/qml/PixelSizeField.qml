import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// A caption ("Width", "Height") above a pixel field of the add-preset sheet and its error.
ColumnLayout {
    id: root

    required property string caption
    property alias text: entry.text
    property alias error: entry.error
    property alias edited: entry.edited
    readonly property alias field: entry.field
    readonly property alias shownError: entry.shownError

    signal textEdited(string text)
    signal accepted

    spacing: Theme.spacingTight

    Label {
        text: root.caption
        font.pixelSize: Theme.bodySize
        color: Theme.secondary
    }
    SheetField {
        id: entry

        objectName: root.objectName
        placeholderText: "px"
        showsErrorText: false
        font.family: Theme.fixedFont.family
        field.Accessible.name: root.caption + " in pixels"
        Layout.preferredWidth: Theme.numberFieldWidth
        Layout.maximumWidth: Theme.numberFieldWidth
        onTextChanged: root.textEdited(text)
        onAccepted: root.accepted()
    }
}
