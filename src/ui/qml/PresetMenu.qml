import QtQuick
import QtQuick.Controls
import Tessel

// The preset menu: its face shows the selected preset; its menu selects, adds and removes.
Button {
    id: root

    required property SettingsPanel panel

    signal newPresetRequested

    objectName: "presetMenuButton"
    flat: true
    leftPadding: 10
    rightPadding: 10
    topPadding: 5
    bottomPadding: 5
    Accessible.name: "Preset: " + (panel.hasSelectedPreset ? panel.selectedPresetName : "none")
    onClicked: menu.open()

    background: Rectangle {
        radius: 6
        color: Theme.withAlpha(Theme.controlBackground, 0.6)
    }
    contentItem: Row {
        spacing: 5

        Icon {
            name: "rectangle.resize"
            anchors.verticalCenter: parent.verticalCenter
        }
        Label {
            objectName: "presetNameLabel"
            visible: root.panel.hasSelectedPreset
            anchors.verticalCenter: parent.verticalCenter
            text: root.panel.selectedPresetName
            font.pixelSize: 13
            font.weight: Font.Medium
        }
        Label {
            objectName: "presetSizeLabel"
            visible: root.panel.hasSelectedPreset
            anchors.verticalCenter: parent.verticalCenter
            text: root.panel.selectedPresetSizeText
            font.family: Theme.fixedFont.family
            font.pixelSize: 12
            color: Theme.secondary
        }
        Label {
            objectName: "noPresetLabel"
            visible: !root.panel.hasSelectedPreset
            anchors.verticalCenter: parent.verticalCenter
            text: "No preset"
            font.pixelSize: 13
            color: Theme.secondary
        }
        Icon {
            name: "chevron.down"
            anchors.verticalCenter: parent.verticalCenter
            size: 10
            font.bold: true
            color: Theme.secondary
        }
    }

    Menu {
        id: menu

        objectName: "presetMenu"
        y: root.height
        // Makes the entries that open submenus; "Remove" is left out while it would be empty.
        delegate: MenuEntry {
            visible: !subMenu || subMenu.count > 0
            height: visible ? implicitHeight : 0
        }

        MenuEntry {
            objectName: "noPresetsEntry"
            text: "No presets yet"
            textColor: Theme.secondary
            enabled: false
            visible: root.panel.presets.length === 0
            height: visible ? implicitHeight : 0
        }
        Instantiator {
            model: root.panel.presets
            delegate: PresetMenuEntry {
                onTriggered: root.panel.selectPreset(preset.id)
            }
            onObjectAdded: (index, object) => menu.insertItem(index + 1, object)
            onObjectRemoved: (index, object) => menu.removeItem(object)
        }
        MenuSeparator {}
        MenuEntry {
            text: "Original Size"
            onTriggered: root.panel.selectOriginalPreset()
        }
        MenuEntry {
            text: "New Preset\u2026"
            onTriggered: root.newPresetRequested()
        }
        RemovePresetMenu {
            panel: root.panel
        }
    }
}
