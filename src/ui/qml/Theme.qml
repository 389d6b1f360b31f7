pragma Singleton
import QtQuick
import Tessel

// The one place where the window's colours, sizes, fonts and icons come from. Colours follow
// the system palette, so a dark palette gives a dark window; every text colour is brought to
// at least 4.5 : 1 against the surfaces it is drawn on.
QtObject {
    id: root

    readonly property SystemPalette palette: SystemPalette {
        colorGroup: SystemPalette.Active
    }
    readonly property SystemPalette disabledPalette: SystemPalette {
        colorGroup: SystemPalette.Disabled
    }
    readonly property bool isDark: palette.window.hslLightness < 0.5

    // Surfaces.
    readonly property color window: palette.window
    readonly property color separator: withAlpha(palette.windowText, 0.16)
    readonly property color strip: Qt.tint(window, withAlpha(separator, 0.25))
    readonly property color controlBackground: palette.button
    // The faces the style gives a button run from its colour to about half as light again (the
    // top of its gradient while pointed at); a button's text is checked against both ends.
    readonly property color buttonFaceLight: Qt.lighter(controlBackground, 1.5)
    readonly property color buttonFaceDark: Qt.darker(controlBackground, 1.1)
    readonly property color accent: palette.highlight
    readonly property color accentText: palette.highlightedText
    // The fill of a prominent button, dark (or light) enough for its text.
    readonly property color accentFill: Contrast.readable(accent, accentText)
    readonly property color focusRing: accent

    // Texts, checked against the strip, the darker (lighter in dark mode) of the two surfaces.
    readonly property color primary: palette.windowText
    readonly property color secondary: Contrast.readable(withAlpha(palette.windowText, 0.6), strip)
    readonly property color link: Contrast.readable(accent, strip)
    // Red is also the label of a button (Stop).
    readonly property color red: Contrast.readable(Contrast.readable(Contrast.readable(
                                                       isDark ? "#ff6b63" : "#d32f2f", strip),
                                                   buttonFaceLight), buttonFaceDark)
    readonly property color green: Contrast.readable(isDark ? "#4cd964" : "#2e8b3a", strip)
    readonly property color orange: Contrast.readable(isDark ? "#ffa733" : "#d9730d", strip)
    // Placeholders in entry fields, on the fields' own background.
    readonly property color placeholder: Contrast.readable(palette.placeholderText, palette.base)
    // Marks that are not text (the dot of a waiting file, an unticked circle).
    readonly property color faint: withAlpha(palette.windowText, 0.3)

    // Sizes follow the application's font: bodySize is its size in pixels, and every size
    // that holds text is drawn for a body of `designBodySize` and scaled with it.
    readonly property int bodySize: SystemFonts.applicationPixelSize
    readonly property int designBodySize: 13

    function scaled(designPixels) {
        return Math.round(designPixels * bodySize / designBodySize);
    }

    // Font sizes.
    readonly property int titleSize: scaled(16)
    readonly property int dropTitleSize: scaled(17)
    readonly property int sheetTitleSize: scaled(14)
    readonly property int smallSize: scaled(12)
    readonly property int captionSize: scaled(11)
    readonly property int chevronSize: scaled(10)
    readonly property int dropIconSize: scaled(42)
    readonly property int chooserIconSize: scaled(16)
    readonly property int optionsIconSize: scaled(18)

    // Margins and spacing.
    readonly property int pageMargin: 20
    readonly property int headerMargin: 10
    readonly property int stripMargin: 8
    readonly property int rowMargin: 6
    readonly property int dropZoneMargin: 24
    readonly property int sheetPadding: 24
    readonly property int sheetWidth: scaled(300)
    readonly property int spacingTight: 3
    readonly property int spacingSmall: 4
    readonly property int spacing: 8
    readonly property int spacingMedium: 10
    readonly property int spacingLarge: 12
    readonly property int spacingWide: 16
    readonly property int spacingSection: 20
    readonly property int focusRingWidth: 2
    readonly property int scrollBarWidth: 10
    readonly property int dotSize: scaled(8)
    readonly property int indicatorSize: scaled(12)
    readonly property int rowHeight: scaled(30)
    readonly property int folderNameWidth: scaled(160)
    // The widest a preset's name shows on the preset button; a longer one is elided.
    readonly property int presetNameWidth: scaled(90)
    // The narrowest it gets in a narrow window.
    readonly property int presetNameMinimumWidth: scaled(24)
    readonly property int numberFieldWidth: scaled(100)
    readonly property int sizeFieldWidth: scaled(56)
    readonly property int ppiFieldWidth: scaled(52)
    readonly property int ppiPickerWidth: scaled(82)
    readonly property int sliderWidth: 80
    readonly property int effortPickerWidth: scaled(100)
    readonly property int resizeModePickerWidth: scaled(80)
    readonly property int qualityLabelWidth: scaled(36)
    readonly property int noticeTextWidth: scaled(420)
    readonly property int chooserWidth: scaled(640)
    readonly property int chooserHeight: scaled(460)
    readonly property int placesWidth: scaled(150)
    readonly property int hairline: 1
    readonly property int listMargin: 2
    readonly property int buttonHeight: scaled(20)
    readonly property int windowWidth: scaled(760)
    readonly property int windowHeight: scaled(640)
    // Never below the sizes drawn for the usual font: fixed margins do not shrink with a smaller one.
    readonly property int windowMinimumWidth: Math.max(680, scaled(680))
    readonly property int windowMinimumHeight: Math.max(560, scaled(560))
    readonly property int convertPadding: scaled(14)
    readonly property int browsePadding: scaled(7)
    readonly property int sheetTimesOffset: scaled(14)
    readonly property int dropZoneSpacing: scaled(14)

    // Corners.
    readonly property int smallRadius: 2
    readonly property int buttonRadius: 5
    readonly property int controlRadius: 6
    readonly property int dropZoneRadius: 14

    // The drop zone's outline: thin and dashed while waiting, thicker and solid under a drag.
    readonly property real dropZoneLineWidth: 1.5
    readonly property real dropZoneActiveLineWidth: 2.5
    readonly property real dropZoneDash: 10
    readonly property real dropZoneGap: 6
    readonly property color dropZoneOutline: withAlpha(secondary, 0.15)
    readonly property color dropZoneFill: withAlpha(accent, 0.04)

    // How much of a control shows while it is disabled.
    readonly property real disabledIconOpacity: 0.35
    readonly property real disabledButtonOpacity: 0.45
    // The preset button's face, lighter than a plain button's.
    readonly property color presetButtonFace: withAlpha(controlBackground, 0.6)

    // Delays, in milliseconds.
    readonly property int toolTipDelay: 500
    // A file row's tooltip waits a little longer than a control's.
    readonly property int rowToolTipDelay: 600
    readonly property int noticeDuration: 8000
    // How long the chooser waits for the next letter of a name being typed before it starts over.
    readonly property int typeAheadPause: 1000

    readonly property font font: SystemFonts.general
    readonly property font fixedFont: SystemFonts.fixed
    readonly property string iconFamily: SystemFonts.iconFamily
    readonly property bool hasIcons: iconFamily !== ""

    // Symbol names used by the views → Material Icons code points, with a plain character to
    // show when the icon font is missing.
    readonly property var icons: ({
            "folder": ["\ue2c7", "\u25a4"],
            "checkmark.circle.fill": ["\ue86c", "\u25c9"],
            "circle": ["\ue836", "\u25cb"],
            "plus": ["\ue145", "+"],
            "minus": ["\ue15b", "\u2212"],
            "xmark": ["\ue5cd", "\u00d7"],
            "exclamationmark.triangle.fill": ["\ue002", "\u26a0"],
            "chevron.down": ["\ue5cf", "\u2304"],
            "rectangle.resize": ["\ue85b", "\u25ad"],
            "square.and.arrow.down.on.square": ["\ue168", "\u2913"],
            "arrow.right.circle": ["\ueaaa", "\u2192"],
            "minus.circle.fill": ["\ue15c", "\u2296"],
            "checkmark": ["\ue5ca", "\u2713"],
            "arrow.up": ["\ue5d8", "\u2191"],
            "house": ["\ue88a", "\u2302"],
            "photo": ["\ue3f4", "\u25a3"],
            "folder.badge.plus": ["\ue2cc", "+"],
            "magnifyingglass": ["\ue8b6", "\u2315"],
            "arrow.clockwise": ["\ue5d5", "\u21bb"],
            "drive": ["\ue1db", "\u25a3"],
            "skip.forward": ["\ue044", "\u23ed"],
            "slider.horizontal.3": ["\ue429", "\u2261"]
        })

    function glyph(name) {
        const entry = icons[name];
        if (!entry)
            return "";
        return hasIcons ? entry[0] : entry[1];
    }

    function withAlpha(c, alpha) {
        return Qt.rgba(c.r, c.g, c.b, c.a * alpha);
    }

    // The one colour of each file status, for its indicator and its text.
    function statusColor(kind) {
        switch (kind) {
        case Status.Done:
            return green;
        case Status.Error:
            return red;
        case Status.Converting:
            return link;
        case Status.Cancelled:
            return orange;
        default:
            return secondary;
        }
    }
}
