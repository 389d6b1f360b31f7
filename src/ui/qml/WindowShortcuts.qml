import QtQuick
import Tessel

// Keyboard shortcuts of the window: add files, convert, select all, undo, redo, close. Delete
// belongs to the file list, which removes its current row.
Item {
    id: root

    required property ImageConverter converter
    readonly property bool idle: !converter.run.isConverting

    signal addFilesRequested
    signal convertRequested
    signal undoRequested
    signal redoRequested
    signal closeRequested

    Shortcut {
        sequence: StandardKey.Open
        enabled: root.enabled && root.idle
        onActivated: root.addFilesRequested()
    }
    Shortcut {
        sequences: ["Ctrl+Return", "Ctrl+Enter"]
        enabled: root.enabled && root.converter.canConvert
        onActivated: root.convertRequested()
    }
    Shortcut {
        sequence: StandardKey.SelectAll
        enabled: root.enabled && root.idle && root.converter.fileList.fileCount > 0
        onActivated: root.converter.fileList.selectAll()
    }
    Shortcut {
        sequences: [StandardKey.Undo]
        enabled: root.enabled && root.converter.canUndo
        onActivated: root.undoRequested()
    }
    Shortcut {
        sequences: ["Ctrl+Shift+Z", "Ctrl+Y"]
        enabled: root.enabled && root.idle && root.converter.canRedo
        onActivated: root.redoRequested()
    }
    Shortcut {
        sequences: ["Ctrl+Q", "Ctrl+W"]
        onActivated: root.closeRequested()
    }
}
