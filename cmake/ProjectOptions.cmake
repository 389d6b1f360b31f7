# Build options shared by every target of the project, as an INTERFACE target.
add_library(tessel_options INTERFACE)
target_compile_definitions(tessel_options INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_URL_CAST_FROM_STRING QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  # Q_SIGNALS and Q_EMIT only: glib (under libvips) uses "signals" as a name.
  QT_NO_KEYWORDS
  TESSEL_VERSION="${PROJECT_VERSION}")
if(TESSEL_SANITIZE)
  target_compile_options(tessel_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer)
  target_link_options(tessel_options INTERFACE -fsanitize=address,undefined)
endif()
