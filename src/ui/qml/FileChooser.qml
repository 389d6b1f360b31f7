import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQml.Models
import Tessel

// The window's own chooser, for desktops that offer no file dialog of their own and for
// picking image files and folders together (the desktop's dialogs take one kind or the other).
// In Inputs mode it picks several files and folders; in OutputFolder mode it picks the folder
// it shows, and can make a new one there. Keys as in a desktop's chooser: arrows, Home and End
// move and select (Shift extends, Ctrl only moves); Space toggles; Ctrl+A selects all; Return
// opens a folder or adds the selection; Backspace or Alt+Up goes up; Ctrl+L types a path; typing
// a name's first letters goes to it; Escape closes.
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
        places.refresh();
        openFolder(start ?? root.lastInputFolder);
        open();
    }
    function openFolder(url) {
        selection.clear();
        root.anchorRow = -1;
        root.typedPrefix = "";
        listing.folder = url;
        if (!root.picksFolder)
            root.lastInputFolder = url;
    }
    function selectedUrls() {
        return selection.selectedIndexes.map(index => index.row).sort((a, b) => a - b).map(
                    row => listing.urlAt(row));
    }
    // Where a Shift+click or Shift+arrow extends the selection from.
    property int anchorRow: -1
    // The first letters of a name typed so far; forgotten after a short pause.
    property string typedPrefix
    // The name of the folder that going up left.
    property string leftFolder

    function goUp() {
        const name = FileUrls.folderName(listing.folder);
        root.openFolder(listing.parentFolder);
        root.leftFolder = name;
    }
    function selectRange(from, to) {
        selection.clearSelection();
        for (let r = Math.min(from, to); r <= Math.max(from, to); ++r)
            selection.select(listing.index(r, 0), ItemSelectionModel.Select);
    }
    // Makes `row` current as a click or an arrow key with `modifiers` does: alone it becomes
    // the selection, with Shift the selection reaches it from the anchor, with Ctrl a click
    // toggles it and a key only moves.
    function moveTo(row, modifiers, toggles) {
        if (row < 0 || row >= listing.count)
            return;
        const index = listing.index(row, 0);
        if (modifiers & Qt.ShiftModifier && root.anchorRow >= 0) {
            root.selectRange(root.anchorRow, row);
        } else if (modifiers & Qt.ControlModifier) {
            if (toggles)
                selection.select(index, ItemSelectionModel.Toggle);
            root.anchorRow = row;
        } else {
            selection.select(index, ItemSelectionModel.ClearAndSelect);
            root.anchorRow = row;
        }
        selection.setCurrentIndex(index, ItemSelectionModel.NoUpdate);
        entries.currentIndex = row;
        entries.positionViewAtIndex(row, ListView.Contain);
    }
    function click(row, modifiers) {
        root.moveTo(row, modifiers, true);
        entries.forceActiveFocus();
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
    // Return: a folder that is current and alone (or nothing is selected) opens; otherwise the
    // selection is added, or the current file when nothing is selected.
    function openOrAdd() {
        const row = entries.currentIndex;
        const selected = selection.selectedIndexes;
        const alone = selected.length === 0 || (selected.length === 1 && selected[0].row === row);
        if (listing.isDirAt(row) && (alone || root.picksFolder))
            root.openFolder(listing.urlAt(row));
        else if (selection.hasSelection || root.picksFolder)
            root.accept();
        else if (row >= 0)
            root.activate(row);
    }
    function typeAhead(text) {
        root.typedPrefix += text;
        typeAheadPause.restart();
        const row = listing.rowStartingWith(root.typedPrefix);
        if (row >= 0)
            root.moveTo(row, Qt.NoModifier, false);
    }
    // The entries' own keys; true when the key was used.
    function handleKey(event) {
        const row = entries.currentIndex;
        const modifiers = event.modifiers;
        const last = listing.count - 1;
        switch (event.key) {
        case Qt.Key_Up:
            if (modifiers & Qt.AltModifier)
                root.goUp();
            else
                root.moveTo(Math.max(row - 1, 0), modifiers, false);
            return true;
        case Qt.Key_Down:
            root.moveTo(Math.min(row + 1, last), modifiers, false);
            return true;
        case Qt.Key_Home:
            root.moveTo(0, modifiers, false);
            return true;
        case Qt.Key_End:
            root.moveTo(last, modifiers, false);
            return true;
        case Qt.Key_Space:
            if (row >= 0)
                selection.select(listing.index(row, 0), ItemSelectionModel.Toggle);
            root.anchorRow = row;
            return true;
        case Qt.Key_Return:
        case Qt.Key_Enter:
            root.openOrAdd();
            return true;
        case Qt.Key_Backspace:
            root.goUp();
            return true;
        case Qt.Key_A:
            // Without Ctrl, "a" is typed ahead like any other letter.
            if (modifiers & Qt.ControlModifier) {
                if (!root.picksFolder)
                    root.selectAll();
                return true;
            }
        }
        // Only printable text is typed ahead: Escape and Tab carry control characters.
        const typed = event.text;
        if (!/^[^\x00-\x20\x7f]+$/.test(typed)
                || modifiers & (Qt.ControlModifier | Qt.AltModifier | Qt.MetaModifier))
            return false;
        root.typeAhead(typed);
        return true;
    }
    function selectAll() {
        if (listing.count > 0)
            root.selectRange(0, listing.count - 1);
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
        PushButton {
            objectName: "chooserAccept"
            text: root.picksFolder ? "Choose \u201c" + FileUrls.folderName(listing.folder) + "\u201d"
                                   : "Add"
            enabled: root.picksFolder || selection.hasSelection
            DialogButtonBox.buttonRole: DialogButtonBox.AcceptRole
            onClicked: root.accept()
        }
        PushButton {
            objectName: "chooserCancel"
            text: "Cancel"
            DialogButtonBox.buttonRole: DialogButtonBox.RejectRole
            onClicked: root.close()
        }
    }

    FolderListing {
        id: listing

        showFiles: !root.picksFolder
        nameFilters: FileUrls.nameFilters(root.extensions)
        // The folder just left is current in its parent, as where one came from.
        onModelReset: {
            const back = rowOf(root.leftFolder);
            entries.currentIndex = back >= 0 ? back : count > 0 ? 0 : -1;
            root.anchorRow = entries.currentIndex;
            root.leftFolder = "";
        }
    }
    ItemSelectionModel {
        id: selection

        model: listing
    }
    Timer {
        id: typeAheadPause

        interval: Theme.typeAheadPause
        onTriggered: root.typedPrefix = ""
    }

    contentItem: ColumnLayout {
        spacing: Theme.spacing

        Shortcut {
            sequence: "Ctrl+L"
            enabled: root.opened
            onActivated: pathBar.editPath()
        }

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
                id: places

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
                keyNavigationEnabled: false
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
