# Helpers shared by every module's CMakeLists.txt.

# Where the test data made by other programs lives (read-only, may be absent).
get_filename_component(PV_SHARED_DATA_DIR "${CMAKE_SOURCE_DIR}/../shared/data" ABSOLUTE)

# Adds every direct sub-folder of the current folder that holds a CMakeLists.txt.
function(pv_add_subdirectories)
  file(GLOB _children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _children)
  foreach(_child ${_children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${_child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_child}/CMakeLists.txt)
      add_subdirectory(${_child})
    endif()
  endforeach()
endfunction()

# pv_add_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
# One GoogleTest executable; its cases are registered with CTest one by one.
# Tests see PV_SHARED_DATA_DIR and PV_SOURCE_DIR as compile definitions and
# run headless (QT_QPA_PLATFORM=offscreen).
function(pv_add_test name)
  if(NOT BUILD_TESTING)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    PV_SHARED_DATA_DIR="${PV_SHARED_DATA_DIR}"
    PV_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    PV_BINARY_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS "${T_LABELS}")
endfunction()

# pv_add_fuzzer(<name> SOURCES <files...> LIBS <targets...>)
# A libFuzzer target; built only in the fuzz build (clang, PV_FUZZ=ON).
# Beside the source: <name>_corpus (seed inputs) and <name>_findings (the minimised inputs of
# mended faults); ./dev.sh test replays both and fails for a fuzzer without them.
function(pv_add_fuzzer name)
  if(NOT PV_FUZZ)
    return()
  endif()
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzzers)
  set_property(GLOBAL APPEND PROPERTY PV_FUZZERS ${name})
endfunction()

# pv_add_bench(<name> SOURCES <files...> LIBS <targets...>)
function(pv_add_bench name)
  if(NOT PV_BENCH)
    return()
  endif()
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
  target_compile_definitions(${name} PRIVATE
    PV_SHARED_DATA_DIR="${PV_SHARED_DATA_DIR}"
    PV_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    PV_BINARY_DIR="${CMAKE_BINARY_DIR}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()
