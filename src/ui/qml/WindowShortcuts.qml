import QtQuick
import Tessel

// Keyboard shortcuts of the window: add files, convert, remove selected, select all, undo.
Item {
    id: root

    required property ImageConverter converter
    readonly property bool idle: !converter.isConverting

    signal addFilesRequested
    signal undoRequested

    Shortcut {
        sequence: StandardKey.Open
        enabled: root.enabled && root.idle
        onActivated: root.addFilesRequested()
    }
    Shortcut {
        sequences: ["Ctrl+Return", "Ctrl+Enter"]
        enabled: root.enabled && root.converter.canConvert
        onActivated: root.converter.convertAll()
    }
    Shortcut {
        sequences: [StandardKey.Delete]
        enabled: root.enabled && root.converter.canRemove
        onActivated: root.converter.removeSelected()
    }
    Shortcut {
        sequence: StandardKey.SelectAll
        enabled: root.enabled && root.idle && root.converter.fileCount > 0
        onActivated: root.converter.selectAll()
    }
    Shortcut {
        sequences: [StandardKey.Undo]
        enabled: root.enabled && root.converter.canUndo
        onActivated: root.undoRequested()
    }
}
