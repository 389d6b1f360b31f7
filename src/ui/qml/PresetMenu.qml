import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// The preset menu: its face shows the selected preset; its menu selects, adds and removes.
// Every pick closes the whole menu before it acts.
Button {
    id: root

    required property SettingsPanel panel
    // The narrowest the button gets: its name elided to the least it shows.
    readonly property real minimumWidth: implicitWidth - (nameLabel.visible
                                             ? nameLabel.Layout.maximumWidth
                                               - nameLabel.Layout.minimumWidth : 0)

    signal newPresetRequested

    objectName: "presetMenuButton"
    flat: true
    leftPadding: Theme.spacingMedium
    rightPadding: Theme.spacingMedium
    topPadding: Theme.spacingSmall + 1
    bottomPadding: Theme.spacingSmall + 1
    Accessible.description: "Output size"
    ToolTip.visible: hovered && !menu.visible
    ToolTip.delay: Theme.toolTipDelay
    // The whole name, which a long one needs when the button elides it.
    ToolTip.text: (panel.hasSelectedPreset ? panel.selectedPresetName + "\n" : "")
                  + "Output size: choose, add or remove a preset"
    Accessible.name: "Preset: " + (panel.hasSelectedPreset ? panel.selectedPresetName : "none")
    // A click on the button while its menu is open closes it.
    onClicked: menu.visible ? menu.close() : menu.open()

    background: Rectangle {
        radius: Theme.controlRadius
        color: Theme.presetButtonFace
    }

    FocusRing {}
    // The name takes what room is left, up to its Theme width, so that a narrow window elides
    // it further rather than push the strip's last controls out.
    contentItem: RowLayout {
        spacing: Theme.spacingSmall + 1

        Icon {
            name: "rectangle.resize"
        }
        Label {
            id: nameLabel

            objectName: "presetNameLabel"
            visible: root.panel.hasSelectedPreset
            elide: Text.ElideRight
            text: root.panel.selectedPresetName
            font.pixelSize: Theme.bodySize
            font.weight: Font.Medium
            Layout.fillWidth: true
            Layout.preferredWidth: Math.ceil(implicitWidth)
            Layout.maximumWidth: Math.min(Math.ceil(implicitWidth), Theme.presetNameWidth)
            Layout.minimumWidth: Math.min(implicitWidth, Theme.presetNameMinimumWidth)
        }
        Label {
            objectName: "presetSizeLabel"
            visible: text !== ""
            text: root.panel.selectedPresetSizeText
            font.family: Theme.fixedFont.family
            font.pixelSize: Theme.smallSize
            color: Theme.secondary
        }
        Label {
            objectName: "noPresetLabel"
            visible: !root.panel.hasSelectedPreset
            text: "No preset"
            font.pixelSize: Theme.bodySize
            color: Theme.secondary
        }
        Icon {
            name: "chevron.down"
            size: Theme.chevronSize
            font.bold: true
            color: Theme.secondary
        }
    }

    FittingMenu {
        id: menu

        objectName: "presetMenu"
        y: root.height
        closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent
        // Makes the entries that open submenus; "Remove" is left out while it would be empty.
        delegate: MenuEntry {
            objectName: "removeSubmenuEntry"
            visible: root.panel.removablePresets.count > 0
            height: visible ? implicitHeight : 0
        }

        MenuEntry {
            objectName: "noPresetsEntry"
            text: "No presets yet"
            textColor: Theme.secondary
            enabled: false
            visible: root.panel.presets.count === 0
            height: visible ? implicitHeight : 0
        }
        Instantiator {
            model: root.panel.presets
            delegate: PresetMenuEntry {
                onTriggered: {
                    menu.close();
                    root.panel.selectPreset(presetId);
                }
            }
            onObjectAdded: (index, object) => menu.insertItem(index + 1, object)
            onObjectRemoved: (index, object) => menu.removeItem(object)
        }
        MenuSeparator {}
        MenuEntry {
            text: "Original Size"
            onTriggered: {
                menu.close();
                root.panel.selectOriginalPreset();
            }
        }
        MenuEntry {
            text: "New Preset\u2026"
            onTriggered: {
                menu.close();
                root.newPresetRequested();
            }
        }
        RemovePresetMenu {
            panel: root.panel
            onPicked: menu.close()
        }
    }
}
