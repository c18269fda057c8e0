# One static library per source folder and one test program per test folder.
# Folders list their files by glob, so adding a class means adding its files.

function(quoril_library target)
  cmake_parse_arguments(A "QT" "" "DEPS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB _hdr CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${target} STATIC ${_src} ${_hdr})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC ${A_DEPS})
  if(A_QT)
    set_target_properties(${target} PROPERTIES AUTOMOC ON AUTORCC ON)
  endif()
endfunction()

function(quoril_test target)
  cmake_parse_arguments(A "QT" "" "DEPS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${target} ${_src})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${target} PRIVATE ${A_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  if(A_QT)
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
  endif()
  gtest_discover_tests(${target}
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QUORIL_SOURCE_DIR=${PROJECT_SOURCE_DIR};QUORIL_BIN_DIR=${QUORIL_BIN_DIR}")
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
