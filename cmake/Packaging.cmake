# The Debian package, built by CPack from the install rules (`make package`).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessel)
set(CPACK_PACKAGE_VENDOR "The Tessel developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Convert batches of images into WebP")
set(CPACK_PACKAGE_DESCRIPTION
  "Tessel converts many images into WebP at once: drop files or folders onto its window, pick a
size preset, a PPI value and a quality or a largest file size, and convert. It reads PNG, JPEG,
TIFF, WebP, BMP, GIF, HEIC, HEIF and AVIF images and never overwrites an existing file.")
set(CPACK_PACKAGE_CONTACT "The Tessel developers <tessel@example.org>")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# Shared libraries (Qt, libvips, libwebpmux) are found by dpkg-shlibdeps; what the program starts
# or loads by name at run time is listed by hand: the cwebp encoder, the QML modules of the
# window and the icon font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "webp, qml6-module-qtquick, qml6-module-qtquick-controls, qml6-module-qtquick-layouts, \
qml6-module-qtquick-templates, qml6-module-qtquick-window, qml6-module-qtquick-dialogs, \
qml6-module-qtquick-shapes, qml6-module-qtqml-workerscript, fonts-material-design-icons-iconfont")

include(CPack)
