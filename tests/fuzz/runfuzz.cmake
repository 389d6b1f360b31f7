# Runs FUZZER on 60000 inputs from seed 1, growing a fresh copy of CORPUS in WORK.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus)
execute_process(
  COMMAND ${FUZZER} -runs=60000 -seed=1 -max_len=4096 -dict=${DICT} -artifact_prefix=${WORK}/
    ${WORK}/corpus ${CORPUS}
  RESULT_VARIABLE ran)
if(NOT ran EQUAL 0)
  message(FATAL_ERROR "the settings fuzzer found a failing input; see ${WORK}")
endif()
