import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// The window's own chooser, for desktops that offer no file dialog of their own and for
// picking image files and folders together (the desktop's dialogs take one kind or the other).
// In Inputs mode it picks several files and folders; in OutputFolder mode it picks the folder
// it shows, and can make a new one there. Its keys are a desktop chooser's (see ChooserEntries),
// with Ctrl+L to type a path and Escape to close.
Dialog {
    id: root

    enum Mode {
        Inputs,
        OutputFolder
    }

    property int mode: FileChooser.Inputs
    readonly property bool picksFolder: mode === FileChooser.OutputFolder
    // Where the Inputs chooser was last, to open there again.
    property url lastInputFolder: LocalFiles.homeFolder
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
        entries.clear();
        listing.folder = url;
        if (!root.picksFolder)
            root.lastInputFolder = url;
    }
    function goUp() {
        if (listing.parentFolder.toString() === listing.folder.toString())
            return;
        const name = DisplayText.folderName(listing.folder);
        root.openFolder(listing.parentFolder);
        entries.leftFolder = name;
    }
    function selectedUrls() {
        return entries.selectedUrls();
    }
    function accept() {
        if (root.picksFolder)
            root.folderChosen(listing.folder);
        else if (entries.selection.hasSelection)
            root.chosen(root.selectedUrls());
        else
            return;
        root.close();
    }
    function makeFolder(name) {
        const made = LocalFiles.makeFolder(listing.folder, name);
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
            text: root.picksFolder ? "Choose \u201c" + DisplayText.folderName(listing.folder) + "\u201d"
                                   : "Add"
            enabled: root.picksFolder || entries.selection.hasSelection
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
        nameFilters: LocalFiles.nameFilters(root.extensions)
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
            ChooserEntries {
                id: entries

                objectName: "fileChooserEntries"
                listing: listing
                addsEntries: !root.picksFolder
                Layout.fillWidth: true
                Layout.fillHeight: true
                Accessible.name: root.picksFolder ? "Folders" : "Images and folders"
                onOpenRequested: folder => root.openFolder(folder)
                onUpRequested: root.goUp()
                onAcceptRequested: root.accept()
                onFileChosen: file => {
                    root.chosen([file]);
                    root.close();
                }
            }
        }
    }
}
