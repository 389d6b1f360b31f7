import QtQuick
import QtQuick.Controls
import QtQml.Models
import Tessel

// The chooser's folders and files with the keys of a desktop's chooser: arrows, Page Up and
// Down, Home and End move and select (Shift extends from the anchor, Ctrl only moves); Space
// toggles; Ctrl+A selects all; Return opens a folder or adds the selection; Backspace or Alt+Up
// goes up; typing a name's first letters goes to it. What the keys ask of the chooser comes out
// as signals.
ListView {
    id: root

    required property FolderListing listing
    // False where only the shown folder is picked: nothing is added, Ctrl+A selects nothing.
    property bool addsEntries: true
    readonly property alias selection: selection
    // Where a Shift+click or Shift+arrow extends the selection from.
    property int anchorRow: -1
    // The first letters of a name typed so far; forgotten after a short pause.
    property string typedPrefix
    // The name of the folder just left by going up, to be current in its parent.
    property string leftFolder

    signal openRequested(url folder)
    signal upRequested
    // Return with entries selected (or where the shown folder is picked).
    signal acceptRequested
    // Return or a double click on a file while nothing is selected.
    signal fileChosen(url file)

    // Forgets the selection, before another folder is read.
    function clear() {
        selection.clear();
        root.anchorRow = -1;
        root.typedPrefix = "";
    }
    function selectedUrls() {
        return selection.selectedIndexes.map(index => index.row).sort((a, b) => a - b).map(
                    row => listing.urlAt(row));
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
        root.currentIndex = row;
        root.positionViewAtIndex(row, ListView.Contain);
    }
    function activate(row) {
        if (listing.isDirAt(row))
            root.openRequested(listing.urlAt(row));
        else if (root.addsEntries)
            root.fileChosen(listing.urlAt(row));
    }
    // Return: a folder that is current and alone (or nothing is selected) opens; otherwise the
    // selection is added, or the current file when nothing is selected.
    function openOrAdd() {
        const row = root.currentIndex;
        const selected = selection.selectedIndexes;
        const alone = selected.length === 0 || (selected.length === 1 && selected[0].row === row);
        if (listing.isDirAt(row) && (alone || !root.addsEntries))
            root.openRequested(listing.urlAt(row));
        else if (selection.hasSelection || !root.addsEntries)
            root.acceptRequested();
        else if (row >= 0)
            root.activate(row);
    }
    // How many rows PageUp and PageDown move: those the list shows at once.
    function pageRows() {
        return currentItem ? Math.max(1, Math.floor(height / currentItem.height) - 1) : 1;
    }
    function typeAhead(text) {
        root.typedPrefix += text;
        typeAheadPause.restart();
        const row = listing.rowStartingWith(root.typedPrefix);
        if (row >= 0)
            root.moveTo(row, Qt.NoModifier, false);
    }
    // True when the key was used.
    function handleKey(event) {
        const row = root.currentIndex;
        const modifiers = event.modifiers;
        const last = listing.count - 1;
        switch (event.key) {
        case Qt.Key_Up:
            if (modifiers & Qt.AltModifier)
                root.upRequested();
            else
                root.moveTo(Math.max(row - 1, 0), modifiers, false);
            return true;
        case Qt.Key_Down:
            root.moveTo(Math.min(row + 1, last), modifiers, false);
            return true;
        case Qt.Key_PageUp:
            root.moveTo(Math.max(row - root.pageRows(), 0), modifiers, false);
            return true;
        case Qt.Key_PageDown:
            root.moveTo(Math.min(row + root.pageRows(), last), modifiers, false);
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
            root.upRequested();
            return true;
        case Qt.Key_A:
            // Without Ctrl, "a" is typed ahead like any other letter.
            if (modifiers & Qt.ControlModifier) {
                if (root.addsEntries && last >= 0)
                    root.selectRange(0, last);
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

    model: listing
    clip: true
    activeFocusOnTab: true
    keyNavigationEnabled: false
    boundsBehavior: Flickable.StopAtBounds
    Accessible.role: Accessible.List
    ScrollBar.vertical: ScrollBar {
        policy: size < 1 ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
    }
    Keys.onPressed: event => event.accepted = root.handleKey(event)

    ItemSelectionModel {
        id: selection

        model: root.listing
    }
    Timer {
        id: typeAheadPause

        interval: Theme.typeAheadPause
        onTriggered: root.typedPrefix = ""
    }
    // The folder just left is current in its parent, as where one came from.
    Connections {
        target: root.listing

        function onModelReset() {
            const back = root.listing.rowOf(root.leftFolder);
            root.currentIndex = back >= 0 ? back : root.listing.count > 0 ? 0 : -1;
            root.anchorRow = root.currentIndex;
            root.leftFolder = "";
        }
    }

    delegate: FileChooserEntry {
        width: ListView.view.width
        selected: selection.hasSelection && selection.selectedIndexes.length > 0
                  && selection.isRowSelected(index)
        isCurrent: ListView.isCurrentItem && root.activeFocus
        onPicked: modifiers => {
            root.moveTo(index, modifiers, true);
            root.forceActiveFocus();
        }
        onOpened: root.activate(index)
    }
}
