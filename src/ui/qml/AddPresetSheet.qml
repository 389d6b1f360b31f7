import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// The modal sheet that names a new preset and takes its width and height.
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
    width: 300
    padding: 24
    anchors.centerIn: Overlay.overlay
    closePolicy: Popup.CloseOnEscape
    onShownChanged: shown ? open() : close()
    // Escape closes the popup itself; treat that as Cancel.
    onClosed: if (root.shown)
        root.cancel()

    contentItem: ColumnLayout {
        spacing: 20

        Label {
            text: "New Preset"
            font.pixelSize: 14
            font.weight: Font.DemiBold
            Layout.alignment: Qt.AlignHCenter
        }
        ColumnLayout {
            spacing: 12
            Layout.alignment: Qt.AlignHCenter

            SheetField {
                objectName: "presetNameField"
                placeholderText: "Name"
                text: root.form.name
                focus: true
                Layout.fillWidth: true
                onTextChanged: root.form.name = text
                onAccepted: root.add()
            }
            RowLayout {
                spacing: 10
                Layout.alignment: Qt.AlignHCenter

                SizeColumn {
                    objectName: "presetWidthField"
                    caption: "Width"
                    text: root.form.width
                    onTextEdited: text => root.form.width = text
                    onAccepted: root.add()
                }
                Label {
                    text: "\u00d7"
                    color: Theme.secondary
                    topPadding: 14
                }
                SizeColumn {
                    objectName: "presetHeightField"
                    caption: "Height"
                    text: root.form.height
                    onTextEdited: text => root.form.height = text
                    onAccepted: root.add()
                }
            }
        }
        RowLayout {
            Layout.fillWidth: true

            Button {
                objectName: "cancelPresetButton"
                text: "Cancel"
                onClicked: root.cancel()
            }
            Item {
                Layout.fillWidth: true
            }
            Button {
                objectName: "addPresetButton"
                text: "Add"
                enabled: root.form.canAdd
                highlighted: enabled
                onClicked: root.add()
            }
        }
    }
}
