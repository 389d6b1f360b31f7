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

    ContentView {
        id: contentView

        anchors.fill: parent
    }
}
