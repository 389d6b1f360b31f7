import QtQuick
import QtQuick.Controls
import Tessel

// A text field of the add-preset sheet.
TextField {
    font.pixelSize: 13
    selectByMouse: true
    Accessible.name: placeholderText
}
