# tge_precompile_std_headers(NAME [headers...]): the standard headers most
# engine sources include, and any given, parsed once per target: they make
# up most of what a source file's compilation reads.
function(tge_precompile_std_headers name)
  target_precompile_headers(${name} PRIVATE ${ARGN} <algorithm> <array> <cmath> <cstdint> <cstring> <functional>
                            <limits> <memory> <optional> <span> <string> <string_view> <type_traits> <vector>)
endfunction()

# tge_library(NAME folder [DEPS targets...]): one static library per source
# folder, holding every .cpp below it, with the project root on the include path.
function(tge_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  tge_precompile_std_headers(${name})
  # The fuzz targets link the libraries, so they carry the coverage
  # libFuzzer steers by; elsewhere the sanitizer runtime takes its calls.
  if(TGE_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()

option(TGE_UNITY_TESTS "Compile the test sources of an executable in unity groups" ON)

# tge_test_suite(NAME folder [DEPS targets...]): one GoogleTest executable per
# test folder, every .cpp in it, each of its test suites registered with CTest
# (see TgeTestGroups.cmake). Test code is built without optimisation: it
# compiles faster so, and the libraries it drives keep theirs.
function(tge_test_suite name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest_main GTest::gmock)
  tge_precompile_std_headers(${name} <gtest/gtest.h> <gmock/gmock.h>)
  target_compile_options(${name} PRIVATE -O0)
  if(TGE_UNITY_TESTS)
    tge_unity_groups(${name} ${sources})
  endif()
  target_compile_definitions(${name} PRIVATE TGE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  tge_register_test_groups(${name})
endfunction()

function(tge_register_test_groups name)
  string(REGEX REPLACE "^tge_(.*)_tests$" "\\1" prefix ${name})
  set(tests_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_groups.cmake)
  set(include_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_include.cmake)
  add_custom_command(TARGET ${name} POST_BUILD
    BYPRODUCTS ${tests_file}
    COMMAND ${CMAKE_COMMAND}
            -D TEST_EXECUTABLE=$<TARGET_FILE:${name}>
            -D TEST_PREFIX=${prefix}
            -D TEST_WORKING_DIR=${CMAKE_CURRENT_BINARY_DIR}
            -D CTEST_FILE=${tests_file}
            -P ${PROJECT_SOURCE_DIR}/cmake/TgeTestGroups.cmake
    VERBATIM)
  file(WRITE ${include_file}
    "if(EXISTS \"${tests_file}\")\n"
    "  include(\"${tests_file}\")\n"
    "else()\n"
    "  add_test(${name}_NOT_BUILT ${name}_NOT_BUILT)\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
endfunction()

# Compiling a handful of test files as one source saves parsing the same
# heavy headers for each. A file's group is a hash of its path, so adding or
# removing a file never regroups the others: a name clash can only involve
# the file that came. The group count is a power of two, a group per eight
# to twelve files; when it doubles, every group splits in two, which brings
# no files together that were apart.
#
# Files of one executable may share a group, so a name a test file keeps to
# itself (in its anonymous namespace, a static function, a macro) must not
# be defined by another test file of the same executable, not even alike:
# name file-local helpers after their file's subject, or share one helper
# through a header (tests/support/ or the folder's fixture). A file that
# cannot be compiled with others opts out in its folder's CMakeLists.txt,
# after tge_test_suite():
#   set_source_files_properties(File.cpp PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
function(tge_unity_groups name)
  list(LENGTH ARGN count)
  set(groups 1)
  math(EXPR limit "${groups} * 12")
  while(count GREATER limit)
    math(EXPR groups "${groups} * 2")
    math(EXPR limit "${groups} * 12")
  endwhile()
  foreach(source ${ARGN})
    file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${source})
    string(MD5 hash "${relative}")
    string(SUBSTRING "${hash}" 0 6 head)
    math(EXPR group "0x${head} % ${groups}")
    set_source_files_properties(${source} PROPERTIES UNITY_GROUP "${name}_${group}")
  endforeach()
  set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_MODE GROUP)
endfunction()
