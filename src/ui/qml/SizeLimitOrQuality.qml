import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// The labelled size-limit switch with "≤ … KB" while it is on, or the quality slider while it
// is off. The slider shows its value while dragged and stores it when released.
RowLayout {
    id: root

    required property SettingsPanel panel
    readonly property bool limited: panel.fileSizeLimitEnabled

    spacing: Theme.spacingSmall

    Switch {
        id: limitSwitch

        objectName: "sizeLimitSwitch"
        checked: root.limited
        padding: 0
        text: "Size limit"
        font.pixelSize: Theme.bodySize
        Accessible.name: "Limit the file size (off: set the quality)"
        ToolTip.visible: hovered
        ToolTip.delay: Theme.toolTipDelay
        ToolTip.text: root.limited ? "Each file is made as good as fits the size limit"
                                   : "Each file is made at the chosen quality"
        onToggled: root.panel.setFileSizeLimitEnabled(checked)

        FocusRing {}
    }
    Label {
        visible: root.limited
        text: "\u2264"
        font.pixelSize: Theme.bodySize
        color: Theme.secondary
    }
    IntegerField {
        objectName: "sizeLimitField"
        visible: root.limited
        valueText: root.panel.fileSizeLimitText
        error: root.panel.sizeLimitError
        maximumLength: String(SettingLimits.maxSizeLimitKB).length
        hint: "The most each WebP file may take, in KB"
        Layout.preferredWidth: Theme.sizeFieldWidth
        Accessible.name: "Maximum file size in KB"
        onCommitted: text => root.panel.commitFileSizeLimitKB(text)
        onDismissed: root.panel.dismissErrors()
    }
    Label {
        visible: root.limited
        text: "KB"
        font.pixelSize: Theme.bodySize
        color: Theme.secondary
    }
    Label {
        visible: !root.limited
        text: "Quality"
        font.pixelSize: Theme.bodySize
        font.weight: Font.Medium
        color: Theme.secondary
    }
    Slider {
        id: slider

        function store() {
            if (Math.round(value) !== root.panel.quality)
                root.panel.setQuality(value);
        }

        objectName: "qualitySlider"
        visible: !root.limited
        from: SettingLimits.minQuality
        to: SettingLimits.maxQuality
        stepSize: 1
        snapMode: Slider.SnapAlways
        value: root.panel.quality
        Layout.preferredWidth: Theme.sliderWidth
        Accessible.name: "Quality"
        ToolTip.visible: hovered && !pressed
        ToolTip.delay: Theme.toolTipDelay
        ToolTip.text: "WebP quality: higher keeps more detail, lower makes smaller files"
        // A drag settles when the slider is let go; a key press settles at once.
        onMoved: if (!pressed)
            store()
        onPressedChanged: if (!pressed)
            store()

        FocusRing {}
    }
    Label {
        objectName: "qualityLabel"
        visible: !root.limited
        text: Math.round(slider.value) + "%"
        font.family: Theme.fixedFont.family
        font.pixelSize: Theme.smallSize
        color: Theme.secondary
        horizontalAlignment: Text.AlignHCenter
        Layout.preferredWidth: Theme.qualityLabelWidth
    }
}
