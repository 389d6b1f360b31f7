import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessel

// The run's options that no other control shows: photo details, file dates, animations, the
// encoder's effort and what happens when an output's name is taken. Each is stored as soon as it changes. Tab walks
// the controls; Escape closes it.
Popup {
    id: root

    required property SettingsPanel panel

    objectName: "optionsPopup"
    padding: Theme.spacingLarge
    focus: true
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent

    contentItem: ColumnLayout {
        spacing: Theme.spacingSmall

        OptionCheck {
            objectName: "keepPhotoDetailsCheck"
            text: "Keep photo details"
            hint: "Outputs keep the photo's EXIF and XMP: date taken, camera, lens, exposure, "
                  + "artist, copyright, keywords"
            checked: root.panel.keepPhotoDetails
            focus: true
            onToggled: root.panel.keepPhotoDetails = checked
        }
        OptionCheck {
            objectName: "keepLocationCheck"
            text: "Keep location"
            hint: "Outputs keep where the photo was taken (GPS); only with photo details kept"
            checked: root.panel.keepLocation
            enabled: root.panel.keepPhotoDetails
            Layout.leftMargin: Theme.spacingSection
            onToggled: root.panel.keepLocation = checked
        }
        OptionCheck {
            objectName: "keepDatesCheck"
            text: "Keep file dates"
            hint: "Each output takes its input's modification time"
            checked: root.panel.keepDates
            onToggled: root.panel.keepDates = checked
        }
        OptionCheck {
            objectName: "firstFrameOnlyCheck"
            text: "Animations: first frame only"
            hint: "An animated GIF or WebP becomes a still of its first frame"
            checked: root.panel.firstFrameOnly
            onToggled: root.panel.firstFrameOnly = checked
        }
        EffortChoice {
            panel: root.panel
        }
        Label {
            text: "When the name is taken:"
            font.pixelSize: Theme.bodySize
            color: Theme.secondary
            topPadding: Theme.spacing
        }
        NameTakenChoice {
            text: "Add a number"
            objectName: "addNumberRadio"
            hint: "The output gets _1, _2, \u2026 after its name; nothing is overwritten"
            checked: !root.panel.skipExisting
            onToggled: root.panel.skipExisting = false
        }
        NameTakenChoice {
            text: "Skip"
            objectName: "skipExistingRadio"
            hint: "The file is left out and counted as skipped; the existing output stays"
            checked: root.panel.skipExisting
            onToggled: root.panel.skipExisting = true
        }
    }
}
