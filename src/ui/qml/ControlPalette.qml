import QtQuick
import Tessel

// Keeps the palette the style draws the controls from in step with the system's, as the Theme
// reads it, so that the controls follow a change of desktop theme together with the Theme's
// own texts; the selection and the placeholders take the Theme's colours, which read well on
// what is under them.
QtObject {
    id: root

    required property Palette palette

    readonly property var roles: ({
            "window": Theme.palette.window,
            "windowText": Theme.palette.windowText,
            "base": Theme.palette.base,
            "alternateBase": Theme.palette.alternateBase,
            "text": Theme.palette.text,
            "button": Theme.palette.button,
            "buttonText": Theme.palette.buttonText,
            "light": Theme.palette.light,
            "midlight": Theme.palette.midlight,
            "mid": Theme.palette.mid,
            "dark": Theme.palette.dark,
            "shadow": Theme.palette.shadow,
            "highlight": Theme.accentFill,
            "highlightedText": Theme.accentText,
            "placeholderText": Theme.placeholder
        })
    readonly property var disabledRoles: ({
            "windowText": Theme.disabledPalette.windowText,
            "text": Theme.disabledPalette.text,
            "buttonText": Theme.disabledPalette.buttonText,
            "button": Theme.disabledPalette.button,
            "base": Theme.disabledPalette.base
        })

    function apply() {
        for (const role in roles)
            palette[role] = roles[role];
        for (const role in disabledRoles)
            palette.disabled[role] = disabledRoles[role];
    }

    onRolesChanged: apply()
    onDisabledRolesChanged: apply()
    Component.onCompleted: apply()
}
