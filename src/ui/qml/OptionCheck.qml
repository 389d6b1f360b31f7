import QtQuick
import QtQuick.Controls
import Tessel

// A check box of the options: its label, the Theme's size, `hint` as its tooltip and what
// screen readers add, and a focus ring.
CheckBox {
    id: root

    required property string hint

    padding: Theme.spacingTight
    font.pixelSize: Theme.bodySize
    Accessible.name: text
    Accessible.description: hint
    ToolTip.visible: hovered
    ToolTip.delay: 500
    ToolTip.text: hint

    FocusRing {}
}
