import QtQuick
import QtQuick.Controls
import Tessel

// The options' button, which opens their popup below itself; a click while it is open closes
// it. The popup also closes when the button is disabled, so that a run never starts with
// options open to change. When the focus comes back to the button (after Escape), its ring
// shows where it is.
IconButton {
    id: root

    required property SettingsPanel panel

    objectName: "optionsButton"
    iconName: "slider.horizontal.3"
    iconSize: Theme.optionsIconSize
    label: "Options"
    ToolTip.visible: hovered && !popup.visible
    ToolTip.text: "Options: photo details, file dates, animations and taken names"
    onClicked: popup.visible ? popup.close() : popup.open()
    onEnabledChanged: if (!enabled)
        popup.close()

    OptionsPopup {
        id: popup

        panel: root.panel
        x: root.width - width
        y: root.height
        onClosed: if (root.activeFocus)
            root.focusReason = Qt.TabFocusReason
    }
}
