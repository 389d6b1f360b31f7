# Installs the build tree into a staging folder (DESTDIR) and checks what landed there.
# Arguments: BUILD_DIR, STAGE, APP_ID, VERSION.
cmake_minimum_required(VERSION 3.24)
include(${CMAKE_CURRENT_LIST_DIR}/installedfiles.cmake)

file(REMOVE_RECURSE ${STAGE})
set(ENV{DESTDIR} ${STAGE})
tessel_run(output ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr)
set(root ${STAGE}/usr)

tessel_expected_files(files ${APP_ID})
foreach(file IN LISTS files)
  if(NOT EXISTS ${root}/${file} OR IS_DIRECTORY ${root}/${file})
    tessel_fail("the install lacks ${file}; it holds:\n${output}")
  endif()
endforeach()
tessel_check_icon_sizes(${root} ${APP_ID})
tessel_check_version(${root} ${VERSION})
