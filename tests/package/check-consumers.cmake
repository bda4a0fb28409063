# Builds a small host program against the libraries, first through
# add_subdirectory, then through find_package after an install of the tree
# under test (BUILD_DIR), and runs it.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}\n${out}")
  endif()
endfunction()

set(consumer ${SOURCE_DIR}/tests/package/consumer)

# A cross build (TOOLCHAIN_FILE set) builds the consumers with the same
# toolchain and runs them under wine (WINE, WINEPREFIX).
if(TOOLCHAIN_FILE)
  set(compiler -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN_FILE} -DNORVIK_WINEPREFIX=${WINEPREFIX})
  set(emulator ${CMAKE_COMMAND} -E env WINEPREFIX=${WINEPREFIX} WINEDEBUG=-all ${WINE})
  set(program bin/consumer.exe)
else()
  set(compiler -DCMAKE_CXX_COMPILER=${CXX_COMPILER})
  set(emulator)
  set(program consumer)
endif()

run(${CMAKE_COMMAND} -S ${consumer} -B ${WORK_DIR}/subdir -G ${GENERATOR}
    ${compiler} -DNORVIK_SOURCE_DIR=${SOURCE_DIR})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/subdir)
run(${emulator} ${WORK_DIR}/subdir/${program} ${WORK_DIR}/subdir/out)

# The install is that of the tree under test, already built.
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} -S ${consumer} -B ${WORK_DIR}/installed -G ${GENERATOR}
    ${compiler} -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/installed)
if(TOOLCHAIN_FILE)
  # A Windows host ships the DLLs beside its program.
  file(GLOB dlls ${WORK_DIR}/prefix/bin/*.dll)
  file(COPY ${dlls} DESTINATION ${WORK_DIR}/installed/bin)
endif()
run(${emulator} ${WORK_DIR}/installed/${program} ${WORK_DIR}/installed/out)
