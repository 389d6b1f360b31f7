import QtQuick
import QtQuick.Controls
import Tessel

// A whole-number entry: shows `valueText` and offers what the user typed through `committed`;
// whatever was not taken is replaced by `valueText` again.
TextField {
    id: root

    required property string valueText

    signal committed(string text)

    text: valueText
    font.family: Theme.fixedFont.family
    font.pixelSize: 12
    selectByMouse: true
    leftPadding: 4
    rightPadding: 4
    onEditingFinished: {
        root.committed(text);
        text = Qt.binding(() => root.valueText);
    }
}
