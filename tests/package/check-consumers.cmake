# Builds a small host program against the libraries, first through
# add_subdirectory, then through find_package after an install, and runs it.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}\n${out}")
  endif()
endfunction()

set(consumer ${SOURCE_DIR}/tests/package/consumer)

run(${CMAKE_COMMAND} -S ${consumer} -B ${WORK_DIR}/subdir -G ${GENERATOR}
    -DCMAKE_CXX_COMPILER=${CXX_COMPILER} -DNORVIK_SOURCE_DIR=${SOURCE_DIR})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/subdir)
run(${WORK_DIR}/subdir/consumer ${WORK_DIR}/subdir/out)

run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/lib -G ${GENERATOR}
    -DCMAKE_CXX_COMPILER=${CXX_COMPILER} -DNORVIK_BUILD_TESTS=OFF -DNORVIK_BUILD_EXAMPLES=OFF
    -DCMAKE_INSTALL_PREFIX=${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/lib --target install)
run(${CMAKE_COMMAND} -S ${consumer} -B ${WORK_DIR}/installed -G ${GENERATOR}
    -DCMAKE_CXX_COMPILER=${CXX_COMPILER} -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/installed)
run(${WORK_DIR}/installed/consumer ${WORK_DIR}/installed/out)
