import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// How a new preset's images meet its box: "Resize", the mode picker and "Shrink only". Tab goes from the
// picker to the check box, and on to `nextTab`.
RowLayout {
    id: root

    required property PresetForm form
    readonly property alias firstControl: modePicker
    property Item nextTab

    spacing: Theme.spacing

    Label {
        text: "Resize"
        font.pixelSize: Theme.bodySize
        color: Theme.secondary
    }
    ComboBox {
        id: modePicker

        objectName: "resizeModePicker"
        model: root.form.resizeModes
        currentIndex: root.form.resizeModeIndex
        font.pixelSize: Theme.smallSize
        Layout.preferredWidth: Theme.resizeModePickerWidth
        Accessible.name: "Resize mode"
        Accessible.description: ToolTip.text
        ToolTip.visible: hovered && !popup.visible
        ToolTip.delay: 500
        ToolTip.text: "Stretch: exactly the box, the proportions not kept. Fit: inside the box. "
                      + "Fill: covers the box, cut to it around the centre"
        KeyNavigation.tab: shrinkCheck
        onActivated: index => root.form.resizeModeIndex = index

        FocusRing {}
    }
    OptionCheck {
        id: shrinkCheck

        objectName: "shrinkOnlyCheck"
        text: "Shrink only"
        hint: "An image already inside the box keeps its size; none is enlarged"
        checked: root.form.shrinkOnly
        KeyNavigation.tab: root.nextTab
        onToggled: root.form.shrinkOnly = checked
    }
}
