import QtQuick
import QtQuick.Controls
import Tessel

// A borderless button showing one symbol; `label` is its tooltip and what screen readers say.
ToolButton {
    id: root

    required property string iconName
    required property string label
    property color iconColor: Theme.primary
    property int iconSize: Theme.bodySize
    property int iconWeight: Font.Normal

    flat: true
    padding: Theme.spacingSmall
    focusPolicy: Qt.StrongFocus
    Accessible.name: label
    Accessible.description: label
    ToolTip.visible: hovered && label !== ""
    ToolTip.delay: Theme.toolTipDelay
    ToolTip.text: label
    Keys.onReturnPressed: root.clicked()
    Keys.onEnterPressed: root.clicked()
    contentItem: Icon {
        name: root.iconName
        size: root.iconSize
        font.weight: root.iconWeight
        color: root.iconColor
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        opacity: root.enabled ? 1 : Theme.disabledIconOpacity
    }

    FocusRing {}
}
