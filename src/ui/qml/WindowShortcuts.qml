import QtQuick
import Tessel

// Keyboard shortcuts of the window: add files, convert, remove selected, select all.
Item {
    id: root

    required property ImageConverter converter
    readonly property bool canConvert: !converter.isConverting && !converter.noneSelected
                                       && converter.hasSelectedPreset

    signal addFilesRequested

    Shortcut {
        sequence: StandardKey.Open
        enabled: root.enabled && !root.converter.isConverting
        onActivated: root.addFilesRequested()
    }
    Shortcut {
        sequences: ["Ctrl+Return", "Ctrl+Enter"]
        enabled: root.enabled && root.canConvert
        onActivated: root.converter.convertAll()
    }
    Shortcut {
        sequences: [StandardKey.Delete]
        enabled: root.enabled && !root.converter.isConverting && !root.converter.noneSelected
        onActivated: root.converter.removeSelected()
    }
    Shortcut {
        sequence: StandardKey.SelectAll
        enabled: root.enabled && !root.converter.isConverting && root.converter.fileCount > 0
        onActivated: root.converter.selectAll()
    }
}
