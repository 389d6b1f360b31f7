import QtQuick
import QtQuick.Controls
import Tessel

// The rows of the file list; only the rows in view exist, so long lists stay light. The list is
// one stop of the Tab chain: arrows, Home, End and Page Up/Down move the current row and
// scroll it into view; Space ticks or unticks it; Delete and Backspace remove it. A click on a
// row makes it the current one.
ListView {
    id: root

    required property ImageConverter converter
    // Rows cannot be ticked during a run, which keeps the files it started with.
    readonly property bool locked: converter.run.isConverting
    readonly property int pageRows: Math.max(1, Math.floor(height / Theme.rowHeight) - 1)

    function moveTo(row) {
        if (count === 0)
            return;
        currentIndex = Math.max(0, Math.min(count - 1, row));
        positionViewAtIndex(currentIndex, ListView.Contain);
    }

    objectName: "fileList"
    model: converter.fileList
    clip: true
    reuseItems: true
    topMargin: Theme.listMargin
    bottomMargin: Theme.listMargin
    boundsBehavior: Flickable.StopAtBounds
    activeFocusOnTab: true
    keyNavigationEnabled: false
    highlightFollowsCurrentItem: false
    Accessible.role: Accessible.List
    Accessible.name: "Files"

    onActiveFocusChanged: {
        if (activeFocus && currentIndex < 0)
            moveTo(0);
    }
    Keys.onPressed: event => {
        switch (event.key) {
        case Qt.Key_Up:
            moveTo(currentIndex - 1);
            break;
        case Qt.Key_Down:
            moveTo(currentIndex + 1);
            break;
        case Qt.Key_Home:
            moveTo(0);
            break;
        case Qt.Key_End:
            moveTo(count - 1);
            break;
        case Qt.Key_PageUp:
            moveTo(currentIndex - pageRows);
            break;
        case Qt.Key_PageDown:
            moveTo(currentIndex + pageRows);
            break;
        case Qt.Key_Space:
            if (currentItem)
                currentItem.toggle();
            break;
        case Qt.Key_Delete:
        case Qt.Key_Backspace:
            if (currentItem)
                converter.removeRow(currentIndex);
            break;
        default:
            return;
        }
        event.accepted = true;
    }

    ScrollBar.vertical: ScrollBar {
        objectName: "fileListScrollBar"
        // Always shown while the list overflows, not only while scrolling.
        policy: size < 1 ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
        width: Theme.scrollBarWidth
        minimumSize: 0.05
    }

    delegate: FileRow {
        width: ListView.view.width
        locked: root.locked
        isCurrent: ListView.isCurrentItem && root.activeFocus
        onPicked: {
            root.currentIndex = index;
            root.forceActiveFocus();
        }
    }
}
