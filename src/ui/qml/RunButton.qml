import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// Convert while idle, Stop while files are being added or a run is under way. While Convert
// cannot run, the reason stands beside it ("Adding files…", "Choose a preset", "Select files").
RowLayout {
    id: root

    required property ImageConverter converter
    readonly property string blocker: converter.convertBlocker
    readonly property bool busy: converter.isConverting || converter.isAdding

    spacing: Theme.spacing

    Label {
        objectName: "convertBlocker"
        visible: !root.converter.isConverting && root.blocker !== ""
        text: root.blocker
        font.pixelSize: Theme.captionSize
        color: Theme.secondary
    }
    ProminentButton {
        id: convert

        objectName: "convertButton"
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
        onClicked: root.converter.convertAll()
    }
    Button {
        id: stop

        objectName: "stopButton"
        visible: root.busy
        text: "Stop"
        font.pixelSize: Theme.captionSize
        font.weight: Font.DemiBold
        palette.buttonText: Theme.red
        leftPadding: Theme.spacingLarge
        rightPadding: Theme.spacingLarge
        topPadding: Theme.spacingSmall
        bottomPadding: Theme.spacingSmall
        onClicked: root.converter.isCancelled = true
    }
}
