import QtQuick
import QtQuick.Controls
import Tessel

// The chooser's places: home, the standard folders, bookmarks and mounted drives. Arrows move,
// Return opens.
ListView {
    id: root

    required property url folder

    signal picked(url url)

    objectName: "chooserPlaces"
    model: Places.list()
    clip: true
    activeFocusOnTab: true
    keyNavigationEnabled: true
    Accessible.role: Accessible.List
    Accessible.name: "Places"
    Keys.onReturnPressed: if (currentIndex >= 0)
        root.picked(model[currentIndex].url)

    delegate: ItemDelegate {
        required property var modelData
        required property int index

        width: ListView.view.width
        highlighted: modelData.url.toString() === root.folder.toString()
        text: modelData.name
        font.pixelSize: Theme.bodySize
        topPadding: Theme.spacingSmall
        bottomPadding: Theme.spacingSmall
        onClicked: root.picked(modelData.url)

        FocusRing {
            visible: parent.ListView.isCurrentItem && root.activeFocus
        }
    }
}
