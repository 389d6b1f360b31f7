import QtQuick
import QtQuick.Controls
import Tessel

// A whole-number entry: shows `valueText` and offers what the user typed through `committed`.
// A refused entry stays in the field, framed in red, with `error` as its tooltip; Escape puts
// the stored value back and leaves the field.
TextField {
    id: root

    required property string valueText
    property string error

    signal committed(string text)
    signal dismissed

    function restore() {
        text = Qt.binding(() => root.valueText);
    }

    text: valueText
    font.family: Theme.fixedFont.family
    font.pixelSize: Theme.smallSize
    selectByMouse: true
    leftPadding: Theme.spacingSmall
    rightPadding: Theme.spacingSmall
    Accessible.description: error
    ToolTip.visible: error !== "" && (activeFocus || hovered)
    ToolTip.text: error
    onEditingFinished: {
        root.committed(text);
        if (root.error === "")
            root.restore();
    }
    Keys.onEscapePressed: {
        root.restore();
        root.dismissed();
        root.focus = false;
    }

    Rectangle {
        anchors.fill: parent
        visible: root.error !== ""
        color: "transparent"
        radius: 2
        border.color: Theme.red
        border.width: Theme.hairline
    }
}
