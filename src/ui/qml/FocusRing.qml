import QtQuick
import Tessel

// The ring around a control that has keyboard focus; put it inside the control.
Rectangle {
    readonly property Item control: parent

    objectName: "focusRing"
    anchors.fill: parent
    anchors.margins: -Theme.focusRingWidth
    visible: control.visualFocus ?? control.activeFocus
    color: "transparent"
    radius: Theme.controlRadius
    border.color: Theme.focusRing
    border.width: Theme.focusRingWidth
}
