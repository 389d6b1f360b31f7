import QtQuick
import QtQuick.Controls
import Tessel

// The "Remove" submenu: one entry per preset that does not keep the original size. Removing
// one can be undone.
Menu {
    id: root

    required property SettingsPanel panel

    signal picked

    objectName: "removePresetMenu"
    title: "Remove"
    // Widens to its widest entry, as the preset menu does.
    width: {
        let widest = implicitWidth;
        for (let i = 0; i < count; ++i)
            widest = Math.max(widest, itemAt(i)?.implicitWidth ?? 0);
        return widest;
    }

    Instantiator {
        model: root.panel.removablePresets
        delegate: MenuEntry {
            required property var modelData

            text: modelData.name
            textColor: Theme.red
            onTriggered: {
                const id = modelData.id;
                root.close();
                root.picked();
                root.panel.removePreset(id);
            }
        }
        onObjectAdded: (index, object) => root.insertItem(index, object)
        onObjectRemoved: (index, object) => root.removeItem(object)
    }
}
