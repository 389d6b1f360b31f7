import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQml.Models
import Qt.labs.folderlistmodel
import Tessel

// Picks image files and folders, several at once and both kinds together. Click selects,
// Ctrl+click adds or removes, Shift+click selects a range; double-clicking a folder opens it.
Dialog {
    id: root

    // The folder shown; the path line reads it from here, since the list model does not
    // always announce a change of its own folder.
    property url currentFolder: FileUrls.homeFolder

    signal chosen(var urls)

    function selectedUrls() {
        return selection.selectedIndexes.map(index => index.row).sort((a, b) => a - b).map(
                    row => folderModel.get(row, "fileUrl"));
    }
    function openFolder(url) {
        selection.clear();
        root.currentFolder = url;
    }
    function click(row, modifiers) {
        const index = folderModel.index(row, 0);
        if (modifiers & Qt.ShiftModifier && selection.currentIndex.valid) {
            const from = Math.min(row, selection.currentIndex.row);
            const to = Math.max(row, selection.currentIndex.row);
            selection.clearSelection();
            for (let r = from; r <= to; ++r)
                selection.select(folderModel.index(r, 0), ItemSelectionModel.Select);
        } else if (modifiers & Qt.ControlModifier) {
            selection.setCurrentIndex(index, ItemSelectionModel.Toggle);
        } else {
            selection.setCurrentIndex(index, ItemSelectionModel.ClearAndSelect);
        }
    }

    objectName: "fileChooser"
    title: "Add Images and Folders"
    modal: true
    anchors.centerIn: Overlay.overlay
    width: Math.min(560, (parent ? parent.width : 560) - 40)
    height: Math.min(440, (parent ? parent.height : 440) - 40)
    standardButtons: Dialog.Cancel | Dialog.Open
    onAboutToShow: selection.clear()
    onAccepted: if (selection.hasSelection)
        root.chosen(root.selectedUrls())
    Component.onCompleted: standardButton(Dialog.Open).text = "Add"

    header: Label {
        text: root.title
        font.pixelSize: 14
        font.weight: Font.DemiBold
        padding: 12
        bottomPadding: 0
    }

    FolderListModel {
        id: folderModel

        folder: root.currentFolder
        showDirsFirst: true
        showHidden: false
        caseSensitive: false
        sortCaseSensitive: false
        nameFilters: FileUrls.imageNameFilters
    }
    ItemSelectionModel {
        id: selection

        model: folderModel
    }

    contentItem: ColumnLayout {
        spacing: 8

        RowLayout {
            spacing: 6
            Layout.fillWidth: true

            IconButton {
                iconName: "arrow.up"
                label: "Enclosing folder"
                enabled: root.currentFolder.toString() !== "file:///"
                onClicked: root.openFolder(folderModel.parentFolder)
            }
            IconButton {
                iconName: "house"
                label: "Home folder"
                onClicked: root.openFolder(FileUrls.homeFolder)
            }
            Label {
                objectName: "fileChooserPath"
                text: root.currentFolder.toString().replace(/^file:\/\//, "")
                elide: Text.ElideMiddle
                color: Theme.secondary
                Layout.fillWidth: true
            }
        }
        ListView {
            id: entries

            objectName: "fileChooserEntries"
            model: folderModel
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            Layout.fillWidth: true
            Layout.fillHeight: true
            ScrollBar.vertical: ScrollBar {}

            delegate: FileChooserEntry {
                width: ListView.view.width
                selected: selection.hasSelection && selection.selectedIndexes.length > 0
                          && selection.isRowSelected(index)
                onPicked: modifiers => root.click(index, modifiers)
                onOpened: {
                    if (fileIsDir) {
                        root.openFolder(fileUrl);
                    } else {
                        root.chosen([fileUrl]);
                        root.close();
                    }
                }
            }
        }
    }
}
