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
    // The entries' own keys; true when the key was used.
    function handleKey(event) {
        const row = entries.currentIndex;
        if (event.key === Qt.Key_Home)
            entries.currentIndex = 0;
        else if (event.key === Qt.Key_End)
            entries.currentIndex = entries.count - 1;
        else if (event.key === Qt.Key_Space && row >= 0)
            selection.select(listing.index(row, 0), ItemSelectionModel.Toggle);
        else if ((event.key === Qt.Key_Return || event.key === Qt.Key_Enter) && row >= 0)
            root.activate(row);
        else if (event.key === Qt.Key_Backspace
                 || (event.key === Qt.Key_Up && event.modifiers & Qt.AltModifier))
            root.openFolder(listing.parentFolder);
        else if (event.key === Qt.Key_A && event.modifiers & Qt.ControlModifier && !root.picksFolder)
            root.selectAll();
        else
            return false;
        return true;
    }
    function selectAll() {
        for (let r = 0; r < listing.count; ++r)
            selection.select(listing.index(r, 0), ItemSelectionModel.Select);
    }
    function makeFolder(name) {
        const made = FileUrls.makeFolder(listing.folder, name);
        if (made.toString() === "") {
            pathBar.makeError = "Could not make \u201c" + name + "\u201d here.";
            return;
        }
        pathBar.making = false;
        root.openFolder(made);
    }

    objectName: "fileChooser"
    title: picksFolder ? "Choose Output Folder" : "Add Images and Folders"
    modal: true
    anchors.centerIn: Overlay.overlay
    width: Math.min(Theme.chooserWidth, (parent ? parent.width : Theme.chooserWidth) - 2 * Theme.pageMargin)
    height: Math.min(Theme.chooserHeight, (parent ? parent.height : Theme.chooserHeight) - 2 * Theme.pageMargin)
    onAboutToShow: pathBar.making = false
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

        ChooserPathBar {
            id: pathBar

            folder: listing.folder
            parentFolder: listing.parentFolder
            Layout.fillWidth: true
            onOpenRequested: url => {
                root.openFolder(url);
                entries.forceActiveFocus();
            }
            onMakeRequested: name => root.makeFolder(name)
        }
        RowLayout {
            spacing: Theme.spacing
            Layout.fillWidth: true
            Layout.fillHeight: true

            ChooserPlaces {
                folder: listing.folder
                Layout.preferredWidth: Theme.placesWidth
                Layout.fillHeight: true
                onPicked: url => root.openFolder(url)
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
                Keys.onPressed: event => event.accepted = root.handleKey(event)

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
