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

        MenuItem {
            objectName: "noPresetsEntry"
            text: "No presets yet"
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
        MenuItem {
            text: "Original Size"
            onTriggered: root.panel.selectOriginalPreset()
        }
        MenuItem {
            text: "New Preset\u2026"
            onTriggered: root.newPresetRequested()
        }
        Instantiator {
            model: root.panel.removablePresets.length > 0 ? 1 : 0
            delegate: RemovePresetMenu {
                panel: root.panel
            }
            onObjectAdded: (index, object) => menu.addMenu(object)
            onObjectRemoved: (index, object) => menu.removeMenu(object)
        }
    }
}
