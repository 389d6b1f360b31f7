import QtQuick
import QtQuick.Controls
import Tessel

// A button filled with the accent colour, for the one main action of a region.
Button {
    id: root

    contentItem: Label {
        text: root.text
        font: root.font
        color: Theme.accentText
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
    background: Rectangle {
        implicitHeight: Theme.buttonHeight
        radius: Theme.buttonRadius
        color: root.down ? Qt.darker(Theme.accentFill, 1.15) : Theme.accentFill
        opacity: root.enabled ? 1 : Theme.disabledButtonOpacity
    }

    FocusRing {}
}
