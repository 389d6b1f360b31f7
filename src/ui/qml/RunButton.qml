import QtQuick
import QtQuick.Controls
import Tessel

// Convert while idle, Stop while a run is under way.
Item {
    id: root

    required property ImageConverter converter

    implicitWidth: converter.isConverting ? stop.implicitWidth : convert.implicitWidth
    implicitHeight: converter.isConverting ? stop.implicitHeight : convert.implicitHeight

    ProminentButton {
        id: convert

        objectName: "convertButton"
        anchors.centerIn: parent
        visible: !root.converter.isConverting
        enabled: !root.converter.noneSelected && root.converter.hasSelectedPreset
        text: "Convert"
        font.pixelSize: 11
        font.weight: Font.DemiBold
        leftPadding: 14
        rightPadding: 14
        topPadding: 4
        bottomPadding: 4
        onClicked: root.converter.convertAll()
    }
    Button {
        id: stop

        objectName: "stopButton"
        anchors.centerIn: parent
        visible: root.converter.isConverting
        text: "Stop"
        font.pixelSize: 11
        font.weight: Font.DemiBold
        palette.buttonText: Theme.red
        leftPadding: 12
        rightPadding: 12
        topPadding: 4
        bottomPadding: 4
        onClicked: root.converter.isCancelled = true
    }
}
