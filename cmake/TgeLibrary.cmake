# tge_library(NAME folder [DEPS targets...]): one static library per source
# folder, holding every .cpp below it, with the project root on the include path.
function(tge_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# tge_test_suite(NAME folder [DEPS targets...]): one GoogleTest executable per
# test folder, every .cpp in it, each of its test suites registered with CTest
# (see TgeTestGroups.cmake).
function(tge_test_suite name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest_main GTest::gmock)
  target_precompile_headers(${name} PRIVATE <gtest/gtest.h>)
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
