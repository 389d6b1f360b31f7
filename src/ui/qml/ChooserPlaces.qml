import QtQuick
import QtQuick.Controls
import Tessel

// The chooser's places: home, the standard folders, bookmarks and mounted drives. Arrows move,
// Return, Enter or Space opens.
ListView {
    id: root

    required property url folder

    signal picked(url url)

    function refresh() {
        places.refresh();
    }
    function startAtFirst() {
        if (activeFocus && currentIndex < 0 && count > 0)
            currentIndex = 0;
    }
    function pickCurrent() {
        if (currentIndex >= 0)
            root.picked(places.urlAt(currentIndex));
    }

    objectName: "chooserPlaces"
    model: Places {
        id: places
    }
    clip: true
    activeFocusOnTab: true
    keyNavigationEnabled: true
    Accessible.role: Accessible.List
    Accessible.name: "Places"
    // A fresh list has no current place; the keyboard starts at the first, also when the
    // places arrive after the list took the focus.
    onActiveFocusChanged: startAtFirst()
    onCountChanged: startAtFirst()
    Keys.onReturnPressed: root.pickCurrent()
    Keys.onEnterPressed: root.pickCurrent()

    delegate: ItemDelegate {
        id: place

        required property string name
        required property url url
        required property int index

        width: ListView.view.width
        highlighted: url.toString() === root.folder.toString()
        text: name
        font.pixelSize: Theme.bodySize
        topPadding: Theme.spacingSmall
        bottomPadding: Theme.spacingSmall
        Accessible.name: name
        onClicked: root.picked(url)

        // Inside the row: the list clips whatever lies outside it.
        FocusRing {
            visible: place.ListView.isCurrentItem && root.activeFocus
            anchors.margins: 0
            border.color: place.highlighted ? Theme.accentText : Theme.focusRing
        }
    }
}
