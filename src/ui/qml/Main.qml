import QtQuick
import QtQuick.Controls
import Tessel

ApplicationWindow {
    id: root

    readonly property alias contentView: contentView

    width: 760
    height: 640
    minimumWidth: 680
    minimumHeight: 560
    visible: true
    title: "Tessel"
    color: Theme.window

    // Files and folders named on the command line, added once the window is up.
    property list<url> launchFiles

    Component.onCompleted: contentView.converter.addFiles(launchFiles)

    WindowGeometry {
        window: root
    }

    ContentView {
        id: contentView

        anchors.fill: parent
    }
}
