# What an install under the prefix `root` must hold, and checks shared by the install and package
# tests. Included by the check scripts, which run with `cmake -P`.

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

# The installed files, relative to the prefix.
function(tessel_expected_files out app_id)
  set(files
    bin/tessel
    share/applications/${app_id}.desktop
    share/metainfo/${app_id}.metainfo.xml
    share/icons/hicolor/scalable/apps/${app_id}.svg)
  foreach(size 16 24 32 48 64 128 256)
    list(APPEND files share/icons/hicolor/${size}x${size}/apps/${app_id}.png)
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# Checks every PNG icon under `root` (the prefix) is a PNG as wide and high as its folder says.
function(tessel_check_icon_sizes root app_id)
  foreach(size 16 24 32 48 64 128 256)
    set(png ${root}/share/icons/hicolor/${size}x${size}/apps/${app_id}.png)
    # The signature, then the IHDR chunk: length, type, width and height as big-endian words.
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
endfunction()

# Runs `<root>/bin/tessel --version` and checks it names the version.
function(tessel_check_version root version)
  tessel_run(output ${root}/bin/tessel --version)
  if(NOT output STREQUAL "Tessel ${version}\n")
    tessel_fail("${root}/bin/tessel --version said \"${output}\", not \"Tessel ${version}\"")
  endif()
endfunction()
