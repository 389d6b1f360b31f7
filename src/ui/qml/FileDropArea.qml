import QtQuick
import Tessel

// Takes drags that carry local files or folders and passes on the dropped ones; any other drag
// is refused.
DropArea {
    id: root

    signal dragOverChanged(bool over)
    signal filesDropped(var urls)

    keys: ["text/uri-list"]
    onEntered: drag => {
        if (LocalFiles.localFiles(drag.urls).length === 0) {
            drag.accepted = false;
            return;
        }
        drag.accept(Qt.CopyAction);
        root.dragOverChanged(true);
    }
    onExited: root.dragOverChanged(false)
    onDropped: drop => {
        root.dragOverChanged(false);
        root.filesDropped(LocalFiles.localFiles(drop.urls));
        drop.accept(Qt.CopyAction);
    }
}
