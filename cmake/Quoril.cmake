# One static library per source folder and one test program per test folder.
# Folders list their files by glob, so adding a class means adding its files.

# With QUORIL_UNITY (CI), a target's files are compiled a few at a time: the
# headers and the templates they instantiate once per batch, not once per file.
function(quoril_unity target)
  if(QUORIL_UNITY)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON)
    # Inside its batch a file is an included one to g++, which then warns of
    # its own anonymous types as it would of a header's.
    target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-subobject-linkage>)
  endif()
endfunction()

function(quoril_library target)
  cmake_parse_arguments(A "QT" "" "DEPS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB _hdr CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT _src)
    # A folder whose classes are not written yet still configures.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE ${A_DEPS})
    return()
  endif()
  add_library(${target} STATIC ${_src} ${_hdr})
  quoril_unity(${target})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC ${A_DEPS})
  if(A_QT)
    set_target_properties(${target} PROPERTIES AUTOMOC ON AUTORCC ON)
  endif()
endfunction()

# main() of every test program (tests/support/TestMain.cpp).
function(quoril_test_main)
  if(TARGET quoril_testmain)
    return()
  endif()
  add_library(quoril_testmain OBJECT ${PROJECT_SOURCE_DIR}/tests/support/TestMain.cpp)
  target_link_libraries(quoril_testmain PUBLIC GTest::gtest)
  target_include_directories(quoril_testmain PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_compile_definitions(quoril_testmain PRIVATE
    QUORIL_SOURCE_DIR="${PROJECT_SOURCE_DIR}" QUORIL_BIN_DIR="${QUORIL_BIN_DIR}")
endfunction()

# Test code is compiled for a quick build, not for speed: parsing the test
# framework and the host's headers is most of each file's time, so they are
# parsed once, and the bodies get line tables only (enough for the sanitizers'
# reports and a debugger's stack), light optimisation in the release build and
# none under the sanitizers, where instrumenting the large test bodies at -O1
# took more than half the build.
function(quoril_test_options target)
  target_compile_options(${target} PRIVATE -g1 $<$<CONFIG:RelWithDebInfo,Release>:-O1> $<$<CONFIG:Debug>:-O0>)
  # A build with the fuzz targets (the sanitizer build of scripts/quoril) runs
  # its tests on the libraries instrumented for them; the tests' own bodies
  # need no coverage hooks.
  if(QUORIL_FUZZ)
    target_compile_options(${target} PRIVATE -fno-sanitize=fuzzer-no-link)
  endif()
endfunction()

# The headers every test program parses are precompiled once for all of them,
# once with the host's Qt layers and once without, by a target of their own
# compiled with the test programs' options.
function(quoril_test_pch target qt)
  set(_holder quoril_testpch)
  set(_pch <gtest/gtest.h> <gmock/gmock.h> <string> <vector> <map> <memory> <functional> <filesystem>)
  if(qt)
    set(_holder quoril_testpch_qt)
    list(APPEND _pch [["platform/forms/Forms.h"]] [["platform/acad/Acad.h"]])
  endif()
  if(NOT TARGET ${_holder})
    add_library(${_holder} OBJECT ${PROJECT_SOURCE_DIR}/tests/support/Precompiled.cpp)
    target_include_directories(${_holder} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${_holder} PRIVATE GTest::gtest GTest::gmock $<$<BOOL:${qt}>:Qt6::Widgets>)
    quoril_test_options(${_holder})
    target_precompile_headers(${_holder} PRIVATE ${_pch})
  endif()
  target_precompile_headers(${target} REUSE_FROM ${_holder})
endfunction()

# The *_test.cpp files of a folder make one test program, named after the
# target: one link and one test discovery per folder instead of one per file,
# which is most of the build's time under the sanitizers. Any other .cpp of the
# folder is shared support code linked into it (and usable by other folders).
function(quoril_test target)
  cmake_parse_arguments(A "QT" "" "DEPS" ${ARGN})
  quoril_test_main()
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(GLOB _all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(_support ${_all})
  if(_tests)
    list(REMOVE_ITEM _support ${_tests})
  endif()
  if(_support)
    add_library(${target}_support STATIC ${_support})
    quoril_unity(${target}_support)
    target_include_directories(${target}_support PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${target}_support PUBLIC ${A_DEPS} GTest::gtest GTest::gmock)
    if(A_QT)
      set_target_properties(${target}_support PROPERTIES AUTOMOC ON)
    endif()
  endif()
  if(NOT _tests)
    return()
  endif()
  add_executable(${target} ${_tests})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
  quoril_unity(${target})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${target} PRIVATE ${A_DEPS} GTest::gtest GTest::gmock quoril_testmain)
  if(_support)
    target_link_libraries(${target} PRIVATE ${target}_support)
  endif()
  if(A_QT)
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
  endif()
  quoril_test_options(${target})
  quoril_test_pch(${target} ${A_QT})
  gtest_discover_tests(${target}
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# Every *.cpp of a benchmark folder becomes its own benchmark program.
function(quoril_benches target)
  cmake_parse_arguments(A "" "" "DEPS" ${ARGN})
  file(GLOB _benches CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(_b ${_benches})
    get_filename_component(_stem ${_b} NAME_WE)
    quoril_bench(${target}_${_stem} SOURCES ${_b} DEPS ${A_DEPS})
  endforeach()
endfunction()

function(quoril_bench target)
  cmake_parse_arguments(A "" "" "DEPS;SOURCES" ${ARGN})
  add_executable(${target} ${A_SOURCES})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${target} PRIVATE ${A_DEPS} benchmark::benchmark)
endfunction()

# Adds every immediate subfolder that has a CMakeLists.txt, in the given order.
macro(quoril_add_subdirs)
  foreach(_d ${ARGN})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_d}/CMakeLists.txt)
      add_subdirectory(${_d})
    endif()
  endforeach()
endmacro()
