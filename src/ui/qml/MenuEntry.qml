import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// A menu entry drawn in the Theme's colours, with an optional checkmark after its title.
MenuItem {
    id: root

    property color textColor: Theme.primary
    property bool showsCheckmark: false

    contentItem: RowLayout {
        spacing: 8

        Label {
            text: root.text
            font: root.font
            color: root.highlighted ? Theme.accentText : root.textColor
            Layout.fillWidth: true
        }
        Icon {
            objectName: "presetCheckmark"
            name: "checkmark"
            visible: root.showsCheckmark
            color: root.highlighted ? Theme.accentText : root.textColor
        }
    }
}
