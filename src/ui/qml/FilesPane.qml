import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// The drop zone while the list is empty and no files are being added, otherwise the list
// toolbar (with Stop while files are being added), a divider and the list. Both take dropped
// files.
Item {
    id: root

    required property ImageConverter converter
    required property bool isDragOver
    readonly property bool showsList: converter.fileList.fileCount > 0 || converter.isAdding

    signal dragOverChanged(bool over)
    signal addFilesRequested
    signal convertRequested

    Item {
        objectName: "dropRegion"
        anchors.fill: parent
        visible: !root.showsList

        DropZone {
            anchors.fill: parent
            anchors.margins: Theme.dropZoneMargin
            isDragOver: root.isDragOver
            extensions: root.converter.acceptedExtensions
            onBrowseRequested: root.addFilesRequested()
        }
        FileDropArea {
            anchors.fill: parent
            enabled: parent.visible
            onDragOverChanged: over => root.dragOverChanged(over)
            onFilesDropped: urls => root.converter.addFiles(urls)
        }
    }

    ColumnLayout {
        objectName: "listRegion"
        anchors.fill: parent
        visible: root.showsList
        spacing: 0

        ListToolbar {
            converter: root.converter
            Layout.fillWidth: true
            onAddFilesRequested: root.addFilesRequested()
            onConvertRequested: root.convertRequested()
        }
        Rectangle {
            color: Theme.separator
            implicitHeight: Theme.hairline
            Layout.fillWidth: true
        }
        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true

            FileList {
                anchors.fill: parent
                converter: root.converter
            }
            FileDropArea {
                anchors.fill: parent
                enabled: root.showsList
                onDragOverChanged: over => root.dragOverChanged(over)
                onFilesDropped: urls => root.converter.addFiles(urls)
            }
        }
    }
}
