import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// The modal sheet that names a new preset and takes its width, height and resize mode. Each
// field says what is wrong with it once it has been typed into; Add is enabled exactly when all
// three are valid. It opens with the cursor in Name; Tab goes Name → Width → Height → Mode →
// Shrink only → Add.
Dialog {
    id: root

    required property PresetForm form
    required property bool shown

    signal dismissed

    function add() {
        if (root.form.add())
            root.dismissed();
    }
    function cancel() {
        root.form.clear();
        root.dismissed();
    }

    objectName: "addPresetSheet"
    modal: true
    width: Theme.sheetWidth
    padding: Theme.sheetPadding
    anchors.centerIn: Overlay.overlay
    closePolicy: Popup.CloseOnEscape
    onShownChanged: shown ? open() : close()
    onAboutToShow: {
        nameField.edited = false;
        widthField.edited = false;
        heightField.edited = false;
    }
    onOpened: nameField.field.forceActiveFocus()
    // Escape closes the popup itself; treat that as Cancel.
    onClosed: if (root.shown)
        root.cancel()

    contentItem: ColumnLayout {
        spacing: Theme.spacingSection

        Label {
            text: "New Preset"
            font.pixelSize: Theme.sheetTitleSize
            font.weight: Font.DemiBold
            Layout.alignment: Qt.AlignHCenter
        }
        ColumnLayout {
            spacing: Theme.spacingLarge
            Layout.fillWidth: true

            SheetField {
                id: nameField

                objectName: "presetNameField"
                placeholderText: "Name"
                text: root.form.name
                error: root.form.nameError
                Layout.fillWidth: true
                field.KeyNavigation.tab: widthField.field
                onTextChanged: root.form.name = text
                onAccepted: root.add()
            }
            RowLayout {
                spacing: Theme.spacingMedium
                Layout.alignment: Qt.AlignHCenter

                PixelSizeField {
                    id: widthField

                    objectName: "presetWidthField"
                    caption: "Width"
                    text: root.form.width
                    error: root.form.widthError
                    Layout.alignment: Qt.AlignTop
                    onTextEdited: text => root.form.width = text
                    onAccepted: root.add()
                    field.KeyNavigation.tab: heightField.field
                }
                Label {
                    text: "\u00d7"
                    color: Theme.secondary
                    topPadding: Theme.sheetTimesOffset
                    Layout.alignment: Qt.AlignTop
                }
                PixelSizeField {
                    id: heightField

                    objectName: "presetHeightField"
                    caption: "Height"
                    text: root.form.height
                    error: root.form.heightError
                    Layout.alignment: Qt.AlignTop
                    onTextEdited: text => root.form.height = text
                    onAccepted: root.add()
                    field.KeyNavigation.tab: resizeRow.firstControl
                }
            }
            FieldError {
                objectName: "sizeError"
                text: [widthField.shownError, heightField.shownError].filter(e => e !== "").join("\n")
                Layout.fillWidth: true
            }
            ResizeModeRow {
                id: resizeRow

                form: root.form
                nextTab: addButton
                Layout.alignment: Qt.AlignHCenter
            }
        }
        RowLayout {
            Layout.fillWidth: true

            Button {
                id: cancelButton

                objectName: "cancelPresetButton"
                text: "Cancel"
                KeyNavigation.tab: nameField.field
                onClicked: root.cancel()
            }
            Item {
                Layout.fillWidth: true
            }
            Button {
                id: addButton

                objectName: "addPresetButton"
                text: "Add"
                enabled: root.form.canAdd
                highlighted: enabled
                KeyNavigation.tab: cancelButton
                onClicked: root.add()
                Keys.onReturnPressed: root.add()
            }
        }
    }
}
