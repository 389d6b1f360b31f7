import QtQuick
import QtQuick.Controls
import Tessel

ApplicationWindow {
    id: root

    readonly property alias contentView: contentView

    width: Theme.windowWidth
    height: Theme.windowHeight
    minimumWidth: Theme.windowMinimumWidth
    minimumHeight: Theme.windowMinimumHeight
    visible: true
    title: "Tessel"
    color: Theme.window

    // Files and folders named on the command line, added once the window is up.
    property list<url> launchFiles

    Component.onCompleted: {
        if (launchFiles.length > 0)
            contentView.converter.addFiles(launchFiles)
    }

    WindowGeometry {
        window: root
    }

    ContentView {
        id: contentView

        anchors.fill: parent
    }
}
