import QtQuick
import QtQuick.Controls
import Tessel

// The rows of the file list; only the rows in view exist, so long lists stay light.
ListView {
    id: root

    required property ImageConverter converter

    objectName: "fileList"
    model: converter.fileModel
    clip: true
    reuseItems: true
    topMargin: 2
    bottomMargin: 2
    boundsBehavior: Flickable.StopAtBounds
    ScrollBar.vertical: ScrollBar {}

    delegate: FileRow {
        width: ListView.view.width
        converter: root.converter
    }
}
