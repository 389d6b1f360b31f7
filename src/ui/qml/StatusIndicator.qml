import QtQuick
import QtQuick.Controls
import Tessel

// A file's status at a glance: a dot, a spinner while converting, or a warning sign.
Item {
    id: root

    required property string statusName
    readonly property bool showsDot: statusName === "queued" || statusName === "done"
                                     || statusName === "cancelled"

    implicitWidth: 12
    implicitHeight: 12
    Accessible.role: Accessible.Indicator
    Accessible.name: statusName

    Rectangle {
        anchors.centerIn: parent
        width: 8
        height: 8
        radius: 4
        visible: root.showsDot
        color: root.statusName === "done" ? Theme.green
             : root.statusName === "cancelled" ? Theme.orange
             : Theme.withAlpha(Theme.secondary, 0.15)
    }
    BusyIndicator {
        anchors.fill: parent
        padding: 0
        visible: root.statusName === "converting"
        running: visible
    }
    Icon {
        anchors.centerIn: parent
        visible: root.statusName === "error"
        name: "exclamationmark.triangle.fill"
        color: Theme.red
    }
}
