import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// Asked before Convert when some of the selected files are done already: convert them again
// (as new numbered files), convert only the others, or nothing. The selection stays as it is.
Dialog {
    id: root

    property int doneCount: 0
    property int selectedCount: 0
    readonly property bool hasOthers: selectedCount > doneCount

    signal allChosen
    signal othersChosen

    function ask(done, selected) {
        doneCount = done;
        selectedCount = selected;
        open();
    }

    objectName: "reconvertDialog"
    parent: Overlay.overlay
    anchors.centerIn: parent
    modal: true
    title: (root.doneCount === root.selectedCount
            ? (root.doneCount === 1 ? "This file is" : "These files are")
            : root.doneCount + " of these files " + (root.doneCount === 1 ? "is" : "are"))
           + " already converted. Convert " + (root.doneCount === 1 ? "it" : "them") + " again?"

    Label {
        text: "Converting again makes new files beside the earlier ones."
        font.pixelSize: Theme.bodySize
    }

    footer: DialogButtonBox {
        Button {
            objectName: "reconvertAllButton"
            text: "Convert Again"
            DialogButtonBox.buttonRole: DialogButtonBox.AcceptRole
            onClicked: {
                root.close();
                root.allChosen();
            }
        }
        Button {
            objectName: "reconvertOthersButton"
            visible: root.hasOthers
            text: "Only the others"
            DialogButtonBox.buttonRole: DialogButtonBox.ActionRole
            onClicked: {
                root.close();
                root.othersChosen();
            }
        }
        Button {
            objectName: "reconvertCancelButton"
            text: "Cancel"
            DialogButtonBox.buttonRole: DialogButtonBox.RejectRole
            onClicked: root.close()
        }
    }
}
