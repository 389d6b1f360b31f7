import QtQuick
import QtQuick.Layouts
import Tessel

// The strip under the header: preset menu, PPI and the size limit or quality.
Rectangle {
    id: root

    required property ImageConverter converter

    signal newPresetRequested

    color: Theme.withAlpha(Theme.separator, 0.06)
    implicitHeight: row.implicitHeight + 16

    SettingsPanel {
        id: panel

        converter: root.converter
    }

    RowLayout {
        id: row

        anchors.fill: parent
        anchors.leftMargin: 20
        anchors.rightMargin: 20
        anchors.topMargin: 8
        anchors.bottomMargin: 8
        spacing: 16

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
