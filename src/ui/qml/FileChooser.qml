import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQml.Models
import Tessel

// The window's own chooser, for desktops that offer no file dialog of their own and for
// picking image files and folders together (the desktop's dialogs take one kind or the other).
// In Inputs mode it picks several files and folders; in OutputFolder mode it picks the folder
// it shows, and can make a new one there. Keys: arrows, Home/End move; Space ticks; Return
// opens a folder or adds a file; Backspace goes up; the path can be typed.
Dialog {
    id: root

    enum Mode {
        Inputs,
        OutputFolder
    }

    property int mode: FileChooser.Inputs
    readonly property bool picksFolder: mode === FileChooser.OutputFolder
    // Where the Inputs chooser was last, to open there again.
    property url lastInputFolder: FileUrls.homeFolder
    property alias currentFolder: listing.folder
    property list<string> extensions

    signal chosen(var urls)
    signal folderChosen(url folder)

    function openFor(mode, start) {
        root.mode = mode;
        openFolder(start ?? root.lastInputFolder);
        open();
    }
    function openFolder(url) {
        selection.clear();
        listing.folder = url;
        pathField.text = FileUrls.pathText(url);
        if (!root.picksFolder)
            root.lastInputFolder = url;
    }
    function selectedUrls() {
        return selection.selectedIndexes.map(index => index.row).sort((a, b) => a - b).map(
                    row => listing.urlAt(row));
    }
    function click(row, modifiers) {
        const index = listing.index(row, 0);
        if (modifiers & Qt.ShiftModifier && selection.currentIndex.valid) {
            const from = Math.min(row, selection.currentIndex.row);
            const to = Math.max(row, selection.currentIndex.row);
            selection.clearSelection();
            for (let r = from; r <= to; ++r)
                selection.select(listing.index(r, 0), ItemSelectionModel.Select);
        } else if (modifiers & Qt.ControlModifier) {
            selection.setCurrentIndex(index, ItemSelectionModel.Toggle);
        } else {
            selection.setCurrentIndex(index, ItemSelectionModel.ClearAndSelect);
        }
        entries.currentIndex = row;
    }
    function activate(row) {
        if (listing.isDirAt(row))
            root.openFolder(listing.urlAt(row));
        else if (!root.picksFolder) {
            root.chosen([listing.urlAt(row)]);
            root.close();
        }
    }
    function accept() {
        if (root.picksFolder)
            root.folderChosen(listing.folder);
        else if (selection.hasSelection)
            root.chosen(root.selectedUrls());
        else
            return;
        root.close();
    }
    function makeFolder(name) {
        const made = FileUrls.makeFolder(listing.folder, name);
        if (made.toString() === "") {
            newFolder.error = "Could not make \u201c" + name + "\u201d here.";
            return;
        }
        newFolder.visible = false;
        root.openFolder(made);
    }

    objectName: "fileChooser"
    title: picksFolder ? "Choose Output Folder" : "Add Images and Folders"
    modal: true
    anchors.centerIn: Overlay.overlay
    width: Math.min(Theme.chooserWidth, (parent ? parent.width : Theme.chooserWidth) - 2 * Theme.pageMargin)
    height: Math.min(Theme.chooserHeight, (parent ? parent.height : Theme.chooserHeight) - 2 * Theme.pageMargin)
    onAboutToShow: newFolder.visible = false
    onOpened: entries.forceActiveFocus()

    header: Label {
        text: root.title
        font.pixelSize: Theme.sheetTitleSize
        font.weight: Font.DemiBold
        padding: Theme.spacingLarge
        bottomPadding: 0
    }
    footer: DialogButtonBox {
        Button {
            objectName: "chooserAccept"
            text: root.picksFolder ? "Choose \u201c" + FileUrls.folderName(listing.folder) + "\u201d"
                                   : "Add"
            enabled: root.picksFolder || selection.hasSelection
            DialogButtonBox.buttonRole: DialogButtonBox.AcceptRole
            onClicked: root.accept()
        }
        Button {
            text: "Cancel"
            DialogButtonBox.buttonRole: DialogButtonBox.RejectRole
            onClicked: root.close()
        }
    }

    FolderListing {
        id: listing

        showFiles: !root.picksFolder
        nameFilters: FileUrls.nameFilters(root.extensions)
        onModelReset: entries.currentIndex = count > 0 ? 0 : -1
    }
    ItemSelectionModel {
        id: selection

        model: listing
    }

    contentItem: ColumnLayout {
        spacing: Theme.spacing

        RowLayout {
            spacing: Theme.spacingSmall
            Layout.fillWidth: true

            IconButton {
                iconName: "arrow.up"
                label: "Enclosing folder (Backspace)"
                enabled: listing.parentFolder.toString() !== listing.folder.toString()
                onClicked: root.openFolder(listing.parentFolder)
            }
            TextField {
                id: pathField

                objectName: "fileChooserPath"
                selectByMouse: true
                font.pixelSize: Theme.bodySize
                Accessible.name: "Folder path"
                Layout.fillWidth: true
                onAccepted: {
                    const folder = FileUrls.typedFolder(text);
                    if (folder.toString() === "")
                        pathError.text = "No folder at \u201c" + text + "\u201d.";
                    else {
                        pathError.text = "";
                        root.openFolder(folder);
                        entries.forceActiveFocus();
                    }
                }
            }
            IconButton {
                objectName: "newFolderButton"
                iconName: "folder.badge.plus"
                label: "New folder"
                onClicked: {
                    newFolder.error = "";
                    newFolder.visible = true;
                    newFolderName.text = "";
                    newFolderName.forceActiveFocus();
                }
            }
        }
        FieldError {
            id: pathError

            Layout.fillWidth: true
        }
        RowLayout {
            id: newFolder

            property string error

            visible: false
            spacing: Theme.spacingSmall
            Layout.fillWidth: true

            TextField {
                id: newFolderName

                objectName: "newFolderName"
                placeholderText: "New folder name"
                font.pixelSize: Theme.bodySize
                Layout.fillWidth: true
                onAccepted: root.makeFolder(text)
                Keys.onEscapePressed: newFolder.visible = false
            }
            Button {
                text: "Make"
                enabled: newFolderName.text.trim() !== ""
                onClicked: root.makeFolder(newFolderName.text)
            }
            FieldError {
                text: newFolder.error
            }
        }
        RowLayout {
            spacing: Theme.spacing
            Layout.fillWidth: true
            Layout.fillHeight: true

            ListView {
                id: places

                objectName: "chooserPlaces"
                model: Places.list()
                clip: true
                activeFocusOnTab: true
                keyNavigationEnabled: true
                Layout.preferredWidth: Theme.placesWidth
                Layout.fillHeight: true
                Accessible.role: Accessible.List
                Accessible.name: "Places"
                Keys.onReturnPressed: if (currentIndex >= 0)
                    root.openFolder(model[currentIndex].url)

                delegate: ItemDelegate {
                    required property var modelData
                    required property int index

                    width: ListView.view.width
                    highlighted: modelData.url.toString() === listing.folder.toString()
                    text: modelData.name
                    font.pixelSize: Theme.bodySize
                    topPadding: Theme.spacingSmall
                    bottomPadding: Theme.spacingSmall
                    icon.width: 0
                    onClicked: root.openFolder(modelData.url)

                    FocusRing {
                        visible: parent.ListView.isCurrentItem && places.activeFocus
                    }
                }
            }
            ListView {
                id: entries

                objectName: "fileChooserEntries"
                model: listing
                clip: true
                activeFocusOnTab: true
                keyNavigationEnabled: true
                boundsBehavior: Flickable.StopAtBounds
                Layout.fillWidth: true
                Layout.fillHeight: true
                Accessible.role: Accessible.List
                Accessible.name: root.picksFolder ? "Folders" : "Images and folders"
                ScrollBar.vertical: ScrollBar {
                    policy: size < 1 ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
                }
                Keys.onPressed: event => {
                    if (event.key === Qt.Key_Home)
                        currentIndex = 0;
                    else if (event.key === Qt.Key_End)
                        currentIndex = count - 1;
                    else if (event.key === Qt.Key_Space && currentIndex >= 0)
                        selection.select(listing.index(currentIndex, 0), ItemSelectionModel.Toggle);
                    else if ((event.key === Qt.Key_Return || event.key === Qt.Key_Enter) && currentIndex >= 0)
                        root.activate(currentIndex);
                    else if (event.key === Qt.Key_Backspace
                             || (event.key === Qt.Key_Up && event.modifiers & Qt.AltModifier))
                        root.openFolder(listing.parentFolder);
                    else if (event.key === Qt.Key_A && event.modifiers & Qt.ControlModifier && !root.picksFolder)
                        for (let r = 0; r < count; ++r)
                            selection.select(listing.index(r, 0), ItemSelectionModel.Select);
                    else
                        return;
                    event.accepted = true;
                }

                delegate: FileChooserEntry {
                    width: ListView.view.width
                    selected: selection.hasSelection && selection.selectedIndexes.length > 0
                              && selection.isRowSelected(index)
                    isCurrent: ListView.isCurrentItem && entries.activeFocus
                    onPicked: modifiers => root.click(index, modifiers)
                    onOpened: root.activate(index)
                }
            }
        }
    }
}
