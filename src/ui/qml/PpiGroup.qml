import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// "PPI", the PPI picker and, for "Custom", the custom value.
RowLayout {
    id: root

    required property SettingsPanel panel

    spacing: 4

    Label {
        text: "PPI"
        font.pixelSize: 13
        font.weight: Font.Medium
        color: Theme.withAlpha(Theme.secondary, 0.6)
    }
    ComboBox {
        objectName: "ppiPicker"
        model: root.panel.ppiOptions
        currentIndex: root.panel.ppiIndex
        font.pixelSize: 12
        Layout.preferredWidth: 82
        Accessible.name: "PPI"
        onActivated: index => root.panel.choosePPI(index)
    }
    IntegerField {
        objectName: "customPPIField"
        visible: root.panel.isCustomPPI
        valueText: root.panel.customPPIText
        Layout.preferredWidth: 52
        Accessible.name: "Custom PPI"
        onCommitted: text => root.panel.commitCustomPPI(text)
    }
}
