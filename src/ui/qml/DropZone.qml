import QtQuick
import QtQuick.Controls
import QtQuick.Shapes
import Tessel

// The large target shown while the list is empty: a dashed rounded outline that turns solid
// and accent-coloured while files are dragged over it, and the Browse button.
Item {
    id: root

    required property bool isDragOver
    property list<string> extensions
    readonly property real lineWidth: isDragOver ? Theme.dropZoneActiveLineWidth
                                                 : Theme.dropZoneLineWidth

    signal browseRequested

    objectName: "dropZone"

    Shape {
        id: outline

        readonly property real inset: root.lineWidth / 2
        readonly property real radius: Theme.dropZoneRadius - inset
        readonly property real x0: inset
        readonly property real y0: inset
        readonly property real x1: width - inset
        readonly property real y1: height - inset

        anchors.fill: parent
        layer.enabled: true
        layer.samples: 4

        ShapePath {
            objectName: "dropZoneOutline"
            strokeWidth: root.lineWidth
            strokeColor: root.isDragOver ? Theme.accent : Theme.dropZoneOutline
            strokeStyle: root.isDragOver ? ShapePath.SolidLine : ShapePath.DashLine
            // In units of the line width.
            dashPattern: [Theme.dropZoneDash / Theme.dropZoneLineWidth,
                Theme.dropZoneGap / Theme.dropZoneLineWidth]
            fillColor: root.isDragOver ? Theme.dropZoneFill : "transparent"
            capStyle: ShapePath.FlatCap
            joinStyle: ShapePath.MiterJoin
            miterLimit: 10
            startX: outline.x0 + outline.radius
            startY: outline.y0

            PathLine { x: outline.x1 - outline.radius; y: outline.y0 }
            PathArc { x: outline.x1; y: outline.y0 + outline.radius; radiusX: outline.radius; radiusY: outline.radius }
            PathLine { x: outline.x1; y: outline.y1 - outline.radius }
            PathArc { x: outline.x1 - outline.radius; y: outline.y1; radiusX: outline.radius; radiusY: outline.radius }
            PathLine { x: outline.x0 + outline.radius; y: outline.y1 }
            PathArc { x: outline.x0; y: outline.y1 - outline.radius; radiusX: outline.radius; radiusY: outline.radius }
            PathLine { x: outline.x0; y: outline.y0 + outline.radius }
            PathArc { x: outline.x0 + outline.radius; y: outline.y0; radiusX: outline.radius; radiusY: outline.radius }
        }
    }

    Column {
        anchors.centerIn: parent
        spacing: Theme.dropZoneSpacing

        Icon {
            objectName: "dropZoneIcon"
            anchors.horizontalCenter: parent.horizontalCenter
            name: "square.and.arrow.down.on.square"
            size: Theme.dropIconSize
            font.weight: Font.Light
            color: root.isDragOver ? Theme.accent : Theme.secondary
        }
        Label {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Drop images or folders"
            font.pixelSize: Theme.dropTitleSize
            font.weight: Font.Medium
            color: Theme.primary
        }
        Label {
            anchors.horizontalCenter: parent.horizontalCenter
            objectName: "formatList"
            text: DisplayText.formatList(root.extensions)
            font.family: Theme.fixedFont.family
            font.pixelSize: Theme.smallSize
            color: Theme.secondary
        }
        Item {
            anchors.horizontalCenter: parent.horizontalCenter
            width: browse.implicitWidth
            height: browse.implicitHeight + Theme.spacingSmall

            ProminentButton {
                id: browse

                objectName: "browseButton"
                anchors.bottom: parent.bottom
                text: "Browse"
                font.pixelSize: Theme.bodySize
                font.weight: Font.Medium
                leftPadding: Theme.pageMargin
                rightPadding: Theme.pageMargin
                topPadding: Theme.browsePadding
                bottomPadding: Theme.browsePadding
                onClicked: root.browseRequested()
            }
        }
    }
}
