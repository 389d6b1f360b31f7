import QtQuick
import QtQuick.Controls
import Tessel

ApplicationWindow {
    id: root

    readonly property alias contentView: contentView
    // Set once the user agreed to stop a run and quit.
    property bool stopConfirmed: false

    width: Theme.windowWidth
    height: Theme.windowHeight
    minimumWidth: Theme.windowMinimumWidth
    minimumHeight: Theme.windowMinimumHeight
    visible: true
    title: "Tessel"
    color: Theme.window

    // Files and folders named on the command line, added once the window is up.
    property list<url> launchFiles

    Component.onCompleted: {
        if (launchFiles.length > 0)
            contentView.converter.addFiles(launchFiles)
    }

    // Closing during a run asks first; a yes stops the run as Stop does.
    onClosing: close => {
        if (contentView.converter.run.isConverting && !root.stopConfirmed) {
            close.accepted = false;
            quitDialog.open();
        }
    }

    WindowGeometry {
        window: root
    }
    ControlPalette {
        palette: root.palette
    }

    ContentView {
        id: contentView

        anchors.fill: parent
        isAsking: quitDialog.visible
    }

    Dialog {
        id: quitDialog

        objectName: "quitDialog"
        anchors.centerIn: parent
        modal: true
        title: "Stop the conversion and quit?"
        standardButtons: Dialog.Yes | Dialog.No
        onAccepted: {
            root.stopConfirmed = true;
            contentView.converter.stop();
            root.close();
        }

        Label {
            text: "Files not converted yet are left as they are."
            font.pixelSize: Theme.bodySize
        }
    }
}
