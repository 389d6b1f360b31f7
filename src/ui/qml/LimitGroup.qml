import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// The size-limit switch with "≤ … KB" while it is on, or the quality slider while it is off.
RowLayout {
    id: root

    required property SettingsPanel panel
    readonly property bool limited: panel.fileSizeLimitEnabled

    spacing: 4

    Switch {
        objectName: "sizeLimitSwitch"
        checked: root.limited
        padding: 0
        Accessible.name: "Limit file size"
        onToggled: root.panel.setFileSizeLimitEnabled(checked)
    }
    Label {
        visible: root.limited
        text: "\u2264"
        font.pixelSize: 13
        color: Theme.secondary
    }
    IntegerField {
        objectName: "sizeLimitField"
        visible: root.limited
        valueText: root.panel.fileSizeLimitText
        Layout.preferredWidth: 56
        Accessible.name: "Maximum file size in KB"
        onCommitted: text => root.panel.commitFileSizeLimitKB(text)
    }
    Label {
        visible: root.limited
        text: "KB"
        font.pixelSize: 13
        color: Theme.withAlpha(Theme.secondary, 0.6)
    }
    Label {
        visible: !root.limited
        text: "Q"
        font.pixelSize: 13
        font.weight: Font.Medium
        color: Theme.withAlpha(Theme.secondary, 0.6)
    }
    Slider {
        objectName: "qualitySlider"
        visible: !root.limited
        from: 1
        to: 100
        stepSize: 1
        snapMode: Slider.SnapAlways
        value: root.panel.quality
        Layout.preferredWidth: 80
        Accessible.name: "Quality"
        onMoved: root.panel.setQuality(value)
    }
    Label {
        objectName: "qualityLabel"
        visible: !root.limited
        text: root.panel.quality + "%"
        font.family: Theme.fixedFont.family
        font.pixelSize: 12
        color: Theme.secondary
        horizontalAlignment: Text.AlignHCenter
        Layout.preferredWidth: 36
    }
}
