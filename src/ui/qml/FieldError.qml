import QtQuick
import QtQuick.Controls
import Tessel

// What is wrong with an entry field, in red under it, while `text` is not empty.
Label {
    objectName: "fieldError"
    visible: text !== ""
    color: Theme.red
    font.pixelSize: Theme.captionSize
    wrapMode: Text.Wrap
    Accessible.role: Accessible.AlertMessage
    Accessible.name: text
}
