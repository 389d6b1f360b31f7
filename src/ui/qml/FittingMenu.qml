import QtQuick
import QtQuick.Controls

// A menu that keeps its style's width and widens to its widest entry, so that a long entry
// never runs into the check mark or out of the menu.
Menu {
    width: {
        let widest = implicitWidth;
        for (let i = 0; i < count; ++i)
            widest = Math.max(widest, itemAt(i)?.implicitWidth ?? 0);
        return widest;
    }
}
