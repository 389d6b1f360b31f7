import QtQuick
import QtQuick.Controls
import Tessel

// The "Remove" submenu: one entry per preset that does not keep the original size.
Menu {
    id: root

    required property SettingsPanel panel

    objectName: "removePresetMenu"
    title: "Remove"

    Instantiator {
        model: root.panel.removablePresets
        delegate: MenuEntry {
            required property var modelData

            text: modelData.name
            textColor: Theme.red
            onTriggered: root.panel.removePreset(modelData.id)
        }
        onObjectAdded: (index, object) => root.insertItem(index, object)
        onObjectRemoved: (index, object) => root.removeItem(object)
    }
}
