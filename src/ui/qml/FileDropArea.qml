import QtQuick
import Tessel

// Takes drags that carry local files or folders and hands a drop to the converter; any other
// drag is refused.
DropArea {
    id: root

    required property ImageConverter converter

    signal dragOverChanged(bool over)

    keys: ["text/uri-list"]
    onEntered: drag => {
        if (FileUrls.localFiles(drag.urls).length === 0) {
            drag.accepted = false;
            return;
        }
        drag.accept(Qt.CopyAction);
        root.dragOverChanged(true);
    }
    onExited: root.dragOverChanged(false)
    onDropped: drop => {
        root.dragOverChanged(false);
        root.converter.addFiles(FileUrls.localFiles(drop.urls));
        drop.accept(Qt.CopyAction);
    }
}
