import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// A menu entry drawn in the Theme's colours, with an optional checkmark in a column of its own
// after the title, so that the two never meet.
MenuItem {
    id: root

    property color textColor: Theme.primary
    property bool showsCheckmark: false
    readonly property color shownColor: highlighted ? Theme.accentText : textColor

    implicitWidth: leftPadding + title.implicitWidth + Theme.spacingLarge + mark.implicitWidth
                   + rightPadding + (subMenu ? arrow.width : 0)

    contentItem: RowLayout {
        spacing: Theme.spacingLarge

        Label {
            id: title

            text: root.text
            font: root.font
            color: root.shownColor
            Layout.fillWidth: true
        }
        Icon {
            id: mark

            objectName: "presetCheckmark"
            name: "checkmark"
            opacity: root.showsCheckmark ? 1 : 0
            color: root.shownColor
        }
    }
}
