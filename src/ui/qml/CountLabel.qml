import QtQuick
import QtQuick.Controls
import Tessel

// An icon followed by a count, both in one colour.
Row {
    id: root

    required property string iconName
    required property int count
    required property color color
    required property string description

    spacing: Theme.spacingSmall
    Accessible.role: Accessible.StaticText
    Accessible.name: count + " " + description

    Icon {
        anchors.verticalCenter: parent.verticalCenter
        name: root.iconName
        color: root.color
    }
    Label {
        anchors.verticalCenter: parent.verticalCenter
        text: root.count
        font.pixelSize: Theme.bodySize
        color: root.color
    }
}
