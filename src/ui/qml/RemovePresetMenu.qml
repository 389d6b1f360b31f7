import QtQuick
import QtQuick.Controls
import Tessel

// The "Remove" submenu: one entry per preset that does not keep the original size. Removing
// one can be undone.
FittingMenu {
    id: root

    required property SettingsPanel panel

    signal picked

    objectName: "removePresetMenu"
    title: "Remove"

    Instantiator {
        model: root.panel.removablePresets
        delegate: MenuEntry {
            required property string presetId
            required property string name

            text: name
            textColor: Theme.red
            onTriggered: {
                                root.close();
                root.picked();
                root.panel.removePreset(presetId);
            }
        }
        onObjectAdded: (index, object) => root.insertItem(index, object)
        onObjectRemoved: (index, object) => root.removeItem(object)
    }
}
