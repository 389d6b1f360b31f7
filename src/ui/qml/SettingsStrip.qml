import QtQuick
import QtQuick.Layouts
import Tessel

// The strip under the header: preset menu, PPI and the size limit or quality. A run keeps the
// values it started with, so the strip is locked while one is under way.
Rectangle {
    id: root

    required property ImageConverter converter

    signal newPresetRequested

    color: Theme.strip
    implicitHeight: row.implicitHeight + 2 * Theme.stripMargin

    SettingsPanel {
        id: panel

        converter: root.converter
    }

    RowLayout {
        id: row

        anchors.fill: parent
        enabled: !root.converter.isConverting
        anchors.leftMargin: Theme.pageMargin
        anchors.rightMargin: Theme.pageMargin
        anchors.topMargin: Theme.stripMargin
        anchors.bottomMargin: Theme.stripMargin
        spacing: Theme.spacingWide

        PresetMenu {
            panel: panel
            onNewPresetRequested: root.newPresetRequested()
        }
        PpiGroup {
            panel: panel
        }
        LimitGroup {
            panel: panel
        }
        Item {
            Layout.fillWidth: true
        }
    }
}
