import QtQuick
import Tessel

// The red frame around an entry field whose text was refused; it fills its parent.
Rectangle {
    anchors.fill: parent
    color: "transparent"
    radius: Theme.smallRadius
    border.color: Theme.red
    border.width: Theme.hairline
}
