import QtQuick
import QtQuick.Layouts
import Tessel

// The strip under the header: preset menu, PPI, the size limit or quality, and the options. A
// run keeps the values it started with, so the strip is locked while one is under way.
Rectangle {
    id: root

    required property SettingsPanel panel
    required property bool locked

    signal newPresetRequested

    color: Theme.strip
    implicitHeight: row.implicitHeight + 2 * Theme.stripMargin

    RowLayout {
        id: row

        anchors.fill: parent
        enabled: !root.locked
        anchors.leftMargin: Theme.pageMargin
        anchors.rightMargin: Theme.pageMargin
        anchors.topMargin: Theme.stripMargin
        anchors.bottomMargin: Theme.stripMargin
        spacing: Theme.spacingWide

        // It gives up room for the others, down to its content's minimum.
        PresetMenu {
            panel: root.panel
            Layout.fillWidth: true
            // Whole pixels, so that rounding never cuts into a name that fits.
            Layout.preferredWidth: Math.ceil(implicitWidth)
            Layout.maximumWidth: Math.ceil(implicitWidth)
            Layout.minimumWidth: minimumWidth
            onNewPresetRequested: root.newPresetRequested()
        }
        PpiGroup {
            panel: root.panel
        }
        SizeLimitOrQuality {
            panel: root.panel
        }
        Item {
            Layout.fillWidth: true
        }
        OptionsButton {
            panel: root.panel
        }
    }
}
