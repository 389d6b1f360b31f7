pragma Singleton
import QtQuick
import Tessel

// The one place where the window's colours, fonts and icons come from. Colours follow the
// system palette, so a dark palette gives a dark window.
QtObject {
    id: root

    readonly property SystemPalette palette: SystemPalette {
        colorGroup: SystemPalette.Active
    }
    readonly property bool isDark: palette.window.hslLightness < 0.5

    readonly property color accent: palette.highlight
    readonly property color accentText: palette.highlightedText
    readonly property color primary: palette.windowText
    readonly property color secondary: withAlpha(palette.windowText, 0.55)
    readonly property color window: palette.window
    readonly property color separator: withAlpha(palette.windowText, 0.16)
    readonly property color controlBackground: palette.button
    readonly property color red: isDark ? "#ff6b63" : "#d32f2f"
    readonly property color green: isDark ? "#4cd964" : "#2e8b3a"
    readonly property color orange: isDark ? "#ffa733" : "#d9730d"

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
            "photo": ["\ue3f4", "\u25a3"]
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

    // The colour of a file row's status text.
    function statusColor(statusName) {
        switch (statusName) {
        case "done":
            return green;
        case "error":
            return red;
        case "converting":
            return accent;
        case "cancelled":
            return orange;
        default:
            return withAlpha(secondary, 0.4);
        }
    }
}
