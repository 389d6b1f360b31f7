import QtQuick
import QtQuick.Controls

// A text button that Return and Enter press as well as Space, as a desktop's buttons do.
Button {
    id: root

    Keys.onReturnPressed: root.clicked()
    Keys.onEnterPressed: root.clicked()
}
