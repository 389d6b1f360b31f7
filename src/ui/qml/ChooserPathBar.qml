import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// The top of the chooser: up a folder, the folder's path (type another and press Return) and
// the button that makes a new folder here, with the field that names it. Ctrl+L puts the
// keyboard into the path.
ColumnLayout {
    id: root

    required property url folder
    required property url parentFolder
    property bool making: false
    property string makeError

    signal openRequested(url url)
    signal makeRequested(string name)

    // Puts the keyboard into the path, all of it selected, to type another.
    function editPath() {
        pathField.forceActiveFocus();
        pathField.selectAll();
    }

    spacing: Theme.spacing
    onFolderChanged: {
        pathField.text = DisplayText.pathText(folder);
        pathError.text = "";
    }

    RowLayout {
        spacing: Theme.spacingSmall
        Layout.fillWidth: true

        IconButton {
            iconName: "arrow.up"
            label: "Enclosing folder (Alt+Up)"
            enabled: root.parentFolder.toString() !== root.folder.toString()
            onClicked: root.openRequested(root.parentFolder)
        }
        TextField {
            id: pathField

            objectName: "fileChooserPath"
            selectByMouse: true
            font.pixelSize: Theme.bodySize
            Accessible.name: "Folder path"
            Layout.fillWidth: true
            onAccepted: {
                const typed = LocalFiles.typedFolder(text);
                if (typed.toString() === "")
                    pathError.text = "No folder at \u201c" + text + "\u201d.";
                else
                    root.openRequested(typed);
            }
        }
        IconButton {
            objectName: "newFolderButton"
            iconName: "folder.badge.plus"
            label: "New folder"
            onClicked: {
                root.makeError = "";
                root.making = true;
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
        visible: root.making
        spacing: Theme.spacingSmall
        Layout.fillWidth: true

        TextField {
            id: newFolderName

            objectName: "newFolderName"
            placeholderText: "New folder name"
            font.pixelSize: Theme.bodySize
            Layout.fillWidth: true
            onAccepted: root.makeRequested(text)
            Keys.onEscapePressed: root.making = false
        }
        PushButton {
            text: "Make"
            enabled: newFolderName.text.trim() !== ""
            onClicked: root.makeRequested(newFolderName.text)
        }
        FieldError {
            text: root.makeError
        }
    }
}
