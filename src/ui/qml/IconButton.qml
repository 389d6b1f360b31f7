import QtQuick
import QtQuick.Controls
import Tessel

// A borderless button showing one symbol; `label` is what screen readers say.
ToolButton {
    id: root

    required property string iconName
    required property string label
    property color iconColor: Theme.primary
    property int iconSize: 13
    property int iconWeight: Font.Normal

    flat: true
    padding: 4
    focusPolicy: Qt.TabFocus
    Accessible.name: label
    contentItem: Icon {
        name: root.iconName
        size: root.iconSize
        font.weight: root.iconWeight
        color: root.iconColor
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        opacity: root.enabled ? 1 : 0.35
    }
}
