# Builds the Debian package into a folder of its own and checks its file list, its dependencies
# and that the program it carries runs once unpacked.
# Arguments: BUILD_DIR, WORK, CPACK, DPKG_DEB, READELF (the programs), APP_ID, VERSION.
cmake_minimum_required(VERSION 3.24)
include(${CMAKE_CURRENT_LIST_DIR}/installedfiles.cmake)

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
tessel_expected_files(files ${APP_ID})
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

tessel_check_icon_sizes(${root} ${APP_ID})
tessel_check_version(${root} ${VERSION})
