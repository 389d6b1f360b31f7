import QtQuick
import QtQuick.Controls
import Tessel

// A file's status at a glance: a dot, a spinner while converting, or a warning sign.
Item {
    id: root

    required property int kind
    readonly property bool showsDot: kind === Status.Queued || kind === Status.Done
                                     || kind === Status.Cancelled || kind === Status.Skipped

    implicitWidth: Theme.indicatorSize
    implicitHeight: Theme.indicatorSize
    Accessible.ignored: true

    Rectangle {
        anchors.centerIn: parent
        width: Theme.dotSize
        height: Theme.dotSize
        radius: Theme.dotSize / 2
        visible: root.showsDot
        color: root.kind === Status.Queued ? Theme.faint : Theme.statusColor(root.kind)
    }
    BusyIndicator {
        anchors.fill: parent
        padding: 0
        visible: root.kind === Status.Converting
        running: visible
    }
    Icon {
        anchors.centerIn: parent
        visible: root.kind === Status.Error
        name: "exclamationmark.triangle.fill"
        color: Theme.red
    }
}
