import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// A text field of the add-preset sheet with its error under it; the error shows once the user
// has typed into the field.
ColumnLayout {
    id: root

    property alias text: input.text
    property alias placeholderText: input.placeholderText
    property alias field: input
    property alias font: input.font
    property string error
    property bool edited: false
    property bool showsErrorText: true
    readonly property string shownError: edited ? error : ""

    signal accepted

    spacing: Theme.spacingTight

    TextField {
        id: input

        objectName: root.objectName + "Input"
        font.pixelSize: Theme.bodySize
        selectByMouse: true
        Layout.fillWidth: true
        Accessible.name: root.placeholderText
        Accessible.description: root.shownError
        onTextEdited: root.edited = true
        onAccepted: root.accepted()

        FieldFrame {
            visible: root.shownError !== ""
        }
    }
    FieldError {
        visible: root.showsErrorText && text !== ""
        text: root.shownError
        Layout.fillWidth: true
    }
}
