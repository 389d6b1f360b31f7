import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// "PPI", the PPI picker and, for "Custom", the custom value.
RowLayout {
    id: root

    required property SettingsPanel panel

    spacing: Theme.spacingSmall

    Label {
        text: "PPI"
        font.pixelSize: Theme.bodySize
        font.weight: Font.Medium
        color: Theme.secondary
    }
    ComboBox {
        objectName: "ppiPicker"
        model: root.panel.ppiOptions
        currentIndex: root.panel.ppiIndex
        font.pixelSize: Theme.smallSize
        Layout.preferredWidth: Theme.ppiPickerWidth
        Accessible.name: "PPI"
        ToolTip.visible: hovered && !popup.visible
        ToolTip.delay: Theme.toolTipDelay
        ToolTip.text: "Pixels per inch written into each WebP file"
        onActivated: index => root.panel.choosePPI(index)
    }
    IntegerField {
        objectName: "customPPIField"
        visible: root.panel.isCustomPPI
        valueText: root.panel.customPPIText
        error: root.panel.ppiError
        maximumLength: String(SettingLimits.maxPPI).length
        hint: "Pixels per inch, from %1 to %2".arg(SettingLimits.minPPI).arg(SettingLimits.maxPPI)
        Layout.preferredWidth: Theme.ppiFieldWidth
        Accessible.name: "Custom PPI"
        onCommitted: text => root.panel.commitCustomPPI(text)
        onDismissed: root.panel.dismissErrors()
    }
}
