import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// A short message along the bottom of the window, with an optional action such as "Undo"; it
// goes away by itself after a few seconds, or with its close button.
Rectangle {
    id: root

    property string message
    property string actionText
    property var action: null

    function show(text, label, callback) {
        root.message = text;
        root.actionText = label ?? "";
        root.action = callback ?? null;
        root.visible = true;
        hideTimer.restart();
    }
    function hide() {
        root.visible = false;
        root.action = null;
    }

    objectName: "notice"
    visible: false
    color: Theme.primary
    radius: Theme.controlRadius
    implicitWidth: row.implicitWidth + 2 * Theme.spacingLarge
    implicitHeight: row.implicitHeight + 2 * Theme.spacing
    Accessible.role: Accessible.AlertMessage
    Accessible.name: message

    Timer {
        id: hideTimer

        interval: Theme.noticeDuration
        onTriggered: root.hide()
    }
    HoverHandler {
        // The notice stays while the pointer rests on it.
        onHoveredChanged: hovered ? hideTimer.stop() : hideTimer.restart()
    }

    RowLayout {
        id: row

        anchors.centerIn: parent
        spacing: Theme.spacingLarge

        Label {
            objectName: "noticeMessage"
            text: root.message
            color: Theme.window
            font.pixelSize: Theme.bodySize
            wrapMode: Text.Wrap
            Layout.maximumWidth: Theme.noticeTextWidth
        }
        Button {
            objectName: "noticeAction"
            visible: root.actionText !== ""
            text: root.actionText
            flat: true
            font.pixelSize: Theme.bodySize
            font.weight: Font.DemiBold
            palette.buttonText: Theme.window
            onClicked: {
                const action = root.action;
                root.hide();
                if (action)
                    action();
            }

            FocusRing {}
        }
        IconButton {
            iconName: "xmark"
            iconColor: Theme.window
            label: "Dismiss"
            onClicked: root.hide()
        }
    }
}
