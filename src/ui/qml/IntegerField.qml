import QtQuick
import QtQuick.Controls
import Tessel

// A whole-number entry that takes digits only: shows `valueText` and offers what the user typed
// through `committed`. A refused entry stays in the field, framed in red, with `error` as its
// tooltip; Escape puts the stored value back and leaves the field.
TextField {
    id: root

    required property string valueText
    property string error
    property string hint

    signal committed(string text)
    signal dismissed

    function restore() {
        text = Qt.binding(() => root.valueText);
    }

    text: valueText
    font.family: Theme.fixedFont.family
    font.pixelSize: Theme.smallSize
    selectByMouse: true
    inputMethodHints: Qt.ImhDigitsOnly
    validator: RegularExpressionValidator {
        regularExpression: /[0-9]*/
    }
    leftPadding: Theme.spacingSmall
    rightPadding: Theme.spacingSmall
    Accessible.description: error
    ToolTip.visible: error !== "" ? activeFocus || hovered : hovered && hint !== ""
    ToolTip.delay: error !== "" ? 0 : Theme.toolTipDelay
    ToolTip.text: error !== "" ? error : hint
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

    FieldFrame {
        visible: root.error !== ""
    }
}
