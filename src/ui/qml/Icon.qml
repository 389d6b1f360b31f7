import QtQuick
import QtQuick.Controls
import Tessel

// One symbol from the Theme's icon table, sized by its font size like text.
Label {
    id: root

    required property string name
    property int size: Theme.bodySize

    text: Theme.glyph(name)
    font.family: Theme.hasIcons ? Theme.iconFamily : Theme.font.family
    font.pixelSize: size
    color: Theme.primary
    Accessible.ignored: true
}
