import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// One file of the list: its checkbox, status indicator, name with its folder, sizes and status
// text; a done file names its output and can be shown in the file manager. The tooltip holds
// the full path and, for an error, the message with its reason in words.
Item {
    id: root

    required property var model
    required property int index
    property bool locked: false
    property bool isCurrent: false
    // Set while the list keeps the row aside for reuse, e.g. after its file was removed.
    property bool isPooled: false

    readonly property string fileName: model.fileName
    readonly property bool isSelected: model.isSelected
    readonly property int kind: model.statusKind
    readonly property string path: model.path
    readonly property string detail: model.detail
    readonly property real inputSize: model.inputSize
    // A skipped file names the output that was there already.
    readonly property bool hasOutput: kind === Status.Done || kind === Status.Skipped
    readonly property string outputName: hasOutput ? DisplayText.fileName(model.outputPath) : ""
    readonly property string sizesText: kind === Status.Done && inputSize >= 0
                                        ? DisplayText.sizeText(inputSize) + " \u2192 " + model.statusText
                                        : model.statusText
    readonly property string fullText: path + (kind === Status.Error
                                                ? "\n" + FailureText.describe(model.statusText, detail)
                                                : hasOutput ? "\n\u2192 " + model.outputPath : "")

    // A click on the row, outside its buttons.
    signal picked

    function inPopup(item) {
        for (let up = item; up; up = up.parent) {
            if (up === Overlay.overlay)
                return true;
        }
        return false;
    }
    function toggle() {
        if (!root.locked)
            root.model.isSelected = !root.isSelected;
    }

    objectName: "fileRow"
    implicitHeight: Theme.rowHeight
    Accessible.role: Accessible.ListItem
    Accessible.name: model.fileName + ", " + model.statusText
    Accessible.description: fullText

    HoverHandler {
        id: hover
    }
    TapHandler {
        onTapped: root.picked()
    }
    // Not while a button of the row shows its own, nor while a menu or dialog has the keyboard.
    ToolTip.visible: hover.hovered && !root.isPooled && root.path !== "" && !checkbox.hovered
                     && !showButton.hovered && !inPopup(root.Window.activeFocusItem)
    ListView.onPooled: isPooled = true
    ListView.onReused: isPooled = false
    ToolTip.delay: Theme.rowToolTipDelay
    ToolTip.text: root.fullText

    Rectangle {
        anchors.fill: parent
        anchors.leftMargin: Theme.spacingSmall
        anchors.rightMargin: Theme.spacingSmall
        visible: root.isCurrent
        color: "transparent"
        border.color: Theme.focusRing
        border.width: Theme.focusRingWidth
        radius: Theme.controlRadius
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: Theme.pageMargin
        anchors.rightMargin: Theme.pageMargin
        anchors.topMargin: Theme.rowMargin
        anchors.bottomMargin: Theme.rowMargin
        spacing: Theme.spacingMedium

        IconButton {
            id: checkbox

            objectName: "rowCheckbox"
            padding: 0
            iconName: root.isSelected ? "checkmark.circle.fill" : "circle"
            iconColor: root.isSelected ? Theme.accent : Theme.faint
            label: (root.isSelected ? "Deselect " : "Select ") + root.model.fileName
            enabled: !root.locked
            // The list is one stop of the Tab chain; its keys reach the rows.
            focusPolicy: Qt.NoFocus
            onClicked: root.toggle()
        }
        StatusIndicator {
            kind: root.kind
        }
        Label {
            objectName: "fileNameLabel"
            text: root.model.fileName
            font.pixelSize: Theme.bodySize
            color: root.isSelected ? Theme.primary : Theme.secondary
            elide: Text.ElideMiddle
            maximumLineCount: 1
            Layout.preferredWidth: implicitWidth
            Layout.minimumWidth: Math.min(implicitWidth, Theme.folderNameWidth)
        }
        Label {
            objectName: "fileFolderLabel"
            text: DisplayText.parentName(root.path)
            font.pixelSize: Theme.smallSize
            color: Theme.secondary
            elide: Text.ElideLeft
            maximumLineCount: 1
            // Only the room the name leaves.
            Layout.preferredWidth: 0
            Layout.fillWidth: true
        }
        Label {
            objectName: "outputNameLabel"
            visible: root.outputName !== ""
            text: root.outputName
            font.pixelSize: Theme.smallSize
            color: Theme.secondary
            elide: Text.ElideMiddle
            maximumLineCount: 1
            Layout.maximumWidth: Theme.folderNameWidth
        }
        TextInput {
            objectName: "statusTextField"
            text: root.sizesText
            readOnly: true
            selectByMouse: true
            clip: true
            font.family: Theme.fixedFont.family
            font.pixelSize: Theme.smallSize
            color: Theme.statusColor(root.kind)
            selectionColor: Theme.accent
            selectedTextColor: Theme.accentText
            Layout.maximumWidth: root.width / 2
        }
        IconButton {
            id: showButton

            objectName: "showInFolderButton"
            visible: root.hasOutput
            padding: 0
            iconName: "magnifyingglass"
            iconColor: Theme.link
            label: "Show " + root.outputName + " in the file manager"
            focusPolicy: Qt.NoFocus
            onClicked: DesktopIntegration.showInFileManager(root.model.outputPath)
        }
    }
}
