#pragma once

/// The Qt Quick Controls style of the window: Fusion, which draws from the system palette,
/// unless the environment chooses another. Call before the first QML engine; later calls do
/// nothing.
namespace AppStyle {
void apply();
} // namespace AppStyle
