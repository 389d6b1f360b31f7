# Builds the Debian package into a folder of its own and checks its file list, its dependencies
# and that the program it carries runs once unpacked.
# Arguments: BUILD_DIR, WORK, CPACK, DPKG_DEB, READELF (the programs), APP_ID, VERSION.
cmake_minimum_required(VERSION 3.24)

function(tessel_fail)
  string(JOIN "" message ${ARGN})
  message(FATAL_ERROR "${message}")
endfunction()

# Runs a command, failing with its output when it does not succeed; its output goes to `out`.
function(tessel_run out)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    tessel_fail("`${ARGN}` failed (${result}):\n${output}")
  endif()
  set(${out} "${output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
tessel_run(output ${CPACK} --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK})
file(GLOB debs ${WORK}/*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
  tessel_fail("expected one package in ${WORK}, found ${count}:\n${output}")
endif()
get_filename_component(name ${debs} NAME)
if(NOT name MATCHES "^tessel_${VERSION}_[a-z0-9]+\\.deb$")
  tessel_fail("unexpected package name ${name}")
endif()

tessel_run(listing ${DPKG_DEB} --contents ${debs})
set(files bin/tessel share/applications/${APP_ID}.desktop share/metainfo/${APP_ID}.metainfo.xml
  share/icons/hicolor/scalable/apps/${APP_ID}.svg)
foreach(size 16 24 32 48 64 128 256)
  list(APPEND files share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
endforeach()
foreach(file IN LISTS files)
  string(REPLACE "." "\\." pattern "${file}")
  if(NOT listing MATCHES " \\./usr/${pattern}\n")
    tessel_fail("the package lacks /usr/${file}; it holds:\n${listing}")
  endif()
endforeach()

tessel_run(depends ${DPKG_DEB} --field ${debs} Depends)
string(REGEX REPLACE " *\\([^)]*\\)" "" depends "${depends}")
string(REGEX REPLACE "[ \n]" "" depends "${depends}")
string(REPLACE "," ";" depends "${depends}")
string(REPLACE ";" ", " listed "${depends}")
# What the program starts or loads by name at run time.
foreach(package webp qml6-module-qtquick qml6-module-qtquick-controls
    qml6-module-qtquick-layouts qml6-module-qtquick-templates qml6-module-qtquick-window
    qml6-module-qtquick-dialogs qml6-module-qtquick-shapes qml6-module-qtqml-workerscript
    fonts-material-design-icons-iconfont)
  if(NOT package IN_LIST depends)
    tessel_fail("the package does not depend on ${package}: ${listed}")
  endif()
endforeach()

set(root ${WORK}/unpacked/usr)
tessel_run(output ${DPKG_DEB} --extract ${debs} ${WORK}/unpacked)

# Every shared library the program links comes from a package it depends on.
tessel_run(dynamic ${READELF} --dynamic ${root}/bin/tessel)
string(REGEX MATCHALL "Shared library: \\[[^]]+\\]" needed "${dynamic}")
if(NOT needed)
  tessel_fail("no shared libraries found in ${root}/bin/tessel:\n${dynamic}")
endif()
foreach(entry IN LISTS needed)
  string(REGEX REPLACE "Shared library: \\[(.+)\\]" "\\1" soname "${entry}")
  tessel_run(owners dpkg-query --search "*/${soname}")
  string(REGEX MATCHALL "(^|\n)[^:,\n]+" owners "${owners}")
  set(found FALSE)
  foreach(owner IN LISTS owners)
    string(STRIP "${owner}" owner)
    if(owner IN_LIST depends)
      set(found TRUE)
    endif()
  endforeach()
  if(NOT found)
    tessel_fail("${soname} comes from ${owners}, none of which the package depends on: ${listed}")
  endif()
endforeach()

# Each PNG icon is as wide and high as its folder says: the signature, then the IHDR chunk's
# length, type, width and height as big-endian words.
foreach(size 16 24 32 48 64 128 256)
  set(png ${root}/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
  file(READ ${png} header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  string(SUBSTRING "${header}" 32 8 width)
  string(SUBSTRING "${header}" 40 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size OR NOT height EQUAL size)
    tessel_fail("${png} is not a ${size}x${size} PNG (${signature}, ${width}x${height})")
  endif()
endforeach()

tessel_run(output ${root}/bin/tessel --version)
if(NOT output STREQUAL "Tessel ${VERSION}\n")
  tessel_fail("the packaged tessel --version said \"${output}\", not \"Tessel ${VERSION}\"")
endif()
