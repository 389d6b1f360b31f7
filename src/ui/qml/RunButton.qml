import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// Convert while idle, Stop while files are being added or a run is under way, then Stop Now
// while the files being converted finish; they take the same place.
Item {
    id: root

    required property ImageConverter converter
    readonly property string blocker: converter.convertBlocker
    readonly property bool busy: converter.run.isConverting || converter.isAdding
    readonly property bool stopping: converter.run.isStopping

    signal convertRequested

    // As wide as the widest of its faces, so that nothing beside it moves when it changes.
    implicitWidth: Math.max(convert.implicitWidth, stop.implicitWidth, stopNowWidth.width
                            + stop.leftPadding + stop.rightPadding)
    implicitHeight: Math.max(convert.implicitHeight, stop.implicitHeight)

    TextMetrics {
        id: stopNowWidth

        font: stop.font
        text: "Stop Now"
    }

    ProminentButton {
        id: convert

        objectName: "convertButton"
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        visible: !root.busy
        enabled: root.converter.canConvert
        text: "Convert"
        font.pixelSize: Theme.captionSize
        font.weight: Font.DemiBold
        leftPadding: Theme.convertPadding
        rightPadding: Theme.convertPadding
        topPadding: Theme.spacingSmall
        bottomPadding: Theme.spacingSmall
        Accessible.description: root.blocker !== "" ? root.blocker : "Convert the selected files (Ctrl+Return)"
        onClicked: root.convertRequested()
    }
    Button {
        id: stop

        objectName: "stopButton"
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        visible: root.busy
        text: root.stopping ? "Stop Now" : "Stop"
        font.pixelSize: Theme.captionSize
        font.weight: Font.DemiBold
        palette.buttonText: Theme.red
        leftPadding: Theme.spacingLarge
        rightPadding: Theme.spacingLarge
        topPadding: Theme.spacingSmall
        bottomPadding: Theme.spacingSmall
        Accessible.description: root.stopping ? "End the files being converted at once"
                                              : "Stop after the files being converted"
        onClicked: root.stopping ? root.converter.run.stopNow() : root.converter.stop()
    }
}
