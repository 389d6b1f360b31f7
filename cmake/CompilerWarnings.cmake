# Warnings shared by every target of the project, as an INTERFACE target.
add_library(tessel_warnings INTERFACE)
target_compile_options(tessel_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
  -Woverloaded-virtual -Wimplicit-fallthrough)
if(TESSEL_WARNINGS_AS_ERRORS)
  target_compile_options(tessel_warnings INTERFACE -Werror)
endif()
