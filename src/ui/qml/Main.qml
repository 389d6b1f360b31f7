import QtQuick
import QtQuick.Controls
import Tessel

ApplicationWindow {
    id: root

    width: 760
    height: 640
    minimumWidth: 680
    minimumHeight: 560
    visible: true
    title: "Tessel"

    // Files and folders named on the command line, added once the window is up.
    required property list<url> launchFiles

    Component.onCompleted: converter.addFiles(launchFiles)

    ImageConverter {
        id: converter
    }

    Label {
        anchors.centerIn: parent
        text: "Tessel"
    }
}
