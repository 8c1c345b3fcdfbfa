# Helpers shared by every folder's CMakeLists.txt.

set(TEVO_WARNINGS -Wall -Wextra -Werror)
# gcc 12 at -O3 (the Release build) warns wrongly about copies inside
# std::string and libosmium's inlined code (overlapping copies, its bug
# 105651, and values it takes for uninitialized): there the first is off and
# the second stays a warning, so that the standard headers do not fail the
# build. The other builds keep every warning an error.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND TEVO_WARNINGS $<$<CONFIG:Release>:-Wno-restrict>
       $<$<CONFIG:Release>:-Wno-error=maybe-uninitialized>)
endif()

# tevo_library(NAME [DEPS lib...] [PUBLIC_LIBS lib...])
# Builds the static library tevo_NAME from every .cpp file of the calling
# folder. Headers are included as "folder/file.hpp" from the source root.
function(tevo_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;PUBLIC_LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(tevo_${name} STATIC ${sources})
  target_include_directories(tevo_${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_options(tevo_${name} PRIVATE ${TEVO_WARNINGS})
  foreach(dep ${ARG_DEPS})
    target_link_libraries(tevo_${name} PUBLIC tevo_${dep})
  endforeach()
  if(ARG_PUBLIC_LIBS)
    target_link_libraries(tevo_${name} PUBLIC ${ARG_PUBLIC_LIBS})
  endif()
endfunction()

# tevo_tool(NAME SOURCES... [LIBS lib...]): a helper program in build/bin.
function(tevo_tool name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_compile_options(${name} PRIVATE ${TEVO_WARNINGS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TEVO_BIN_DIR})
endfunction()

# tevo_test(NAME SOURCES... [LIBS lib...]): a GoogleTest program run by CTest.
# Tests know the program folder and the repository through TEVO_DIST_DIR and
# TEVO_SOURCE_DIR; tests/environment sets the dummy SDL drivers.
function(tevo_test name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_compile_options(${name} PRIVATE ${TEVO_WARNINGS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tevo_test_environment GTest::gtest GTest::gmock
                        GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    TEVO_DIST_DIR="${TEVO_DIST_DIR}"
    TEVO_BIN_DIR="${TEVO_BIN_DIR}"
    TEVO_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  # Test names without the parameter values: gtest prints a struct as its
  # bytes, pointers included, and the names would change with every build.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES)
endfunction()
