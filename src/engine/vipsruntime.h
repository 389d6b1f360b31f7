#pragma once

/// The image library's process-wide set-up, done once by whoever needs it first.
namespace VipsRuntime {
/// Starts libvips once, from any thread; later calls return at once. False when it failed.
[[nodiscard]] bool ensureStarted();
} // namespace VipsRuntime
