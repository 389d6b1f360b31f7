import QtQuick
import QtQuick.Controls
import Tessel

// One answer to "when the name is taken": a radio button with the options' size and tooltip.
RadioButton {
    id: root

    required property string hint

    padding: Theme.spacingTight
    font.pixelSize: Theme.bodySize
    Accessible.name: "When the name is taken: " + text
    Accessible.description: hint
    ToolTip.visible: hovered
    ToolTip.delay: 500
    ToolTip.text: hint

    FocusRing {}
}
