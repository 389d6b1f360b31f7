# Builds the settings fuzzer with clang and runs it for SECONDS seconds on a copy of CORPUS.
find_package(PkgConfig REQUIRED)
pkg_check_modules(QTCORE REQUIRED Qt6Core)

set(model ${SOURCE_DIR}/src/model)
file(MAKE_DIRECTORY ${BUILD_DIR})
execute_process(
  COMMAND ${CLANGXX} -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined
    -fno-sanitize-recover=undefined -DQT_NO_KEYWORDS ${QTCORE_CFLAGS} -fPIC -I${model}
    ${SOURCE_DIR}/tests/fuzz/fuzz_settings.cpp ${model}/convertersettings.cpp
    ${model}/resolutionpreset.cpp ${model}/jsonfields.cpp
    ${QTCORE_LDFLAGS} -o ${BUILD_DIR}/fuzz_settings
  RESULT_VARIABLE built)
if(NOT built EQUAL 0)
  message(FATAL_ERROR "building the fuzzer failed")
endif()

file(REMOVE_RECURSE ${BUILD_DIR}/corpus)
file(COPY ${CORPUS}/ DESTINATION ${BUILD_DIR}/corpus)
execute_process(
  COMMAND ${BUILD_DIR}/fuzz_settings -max_total_time=${SECONDS} -max_len=4096
    -artifact_prefix=${BUILD_DIR}/ ${BUILD_DIR}/corpus
  RESULT_VARIABLE ran)
if(NOT ran EQUAL 0)
  message(FATAL_ERROR "the settings fuzzer found a failing input; see ${BUILD_DIR}")
endif()
