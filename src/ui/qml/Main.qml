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

    ImageConverter {
        id: converter
    }

    Label {
        anchors.centerIn: parent
        text: "Tessel"
    }
}
