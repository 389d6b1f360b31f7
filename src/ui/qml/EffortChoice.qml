import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// "Effort" and its picker: how long the encoder works on each file.
RowLayout {
    id: root

    required property SettingsPanel panel

    spacing: Theme.spacing

    Label {
        text: "Effort"
        font.pixelSize: Theme.bodySize
        color: Theme.secondary
    }
    ComboBox {
        objectName: "effortPicker"
        model: root.panel.efforts
        currentIndex: root.panel.effortIndex
        font.pixelSize: Theme.smallSize
        Layout.preferredWidth: Theme.effortPickerWidth
        Accessible.name: "Effort"
        Accessible.description: ToolTip.text
        ToolTip.visible: hovered && !popup.visible
        ToolTip.delay: 500
        ToolTip.text: "How long the encoder works on each file: Best makes the smallest files, "
                      + "Balanced is several times faster within about 1 %, Fast is the fastest "
                      + "within about 5 %"
        onActivated: index => root.panel.chooseEffort(index)

        FocusRing {}
    }
}
