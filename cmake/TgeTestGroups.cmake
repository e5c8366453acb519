# Run after a test executable links: lists its tests and registers one CTest
# entry per test suite (fixture), named <prefix>.<suite>, running that suite's
# cases in one process. Starting a sanitized executable costs far more than
# most cases, so one process per case would spend the test run on start-ups.
# Inputs: TEST_EXECUTABLE, TEST_PREFIX, TEST_WORKING_DIR, CTEST_FILE.
execute_process(
  COMMAND "${TEST_EXECUTABLE}" --gtest_list_tests
  WORKING_DIRECTORY "${TEST_WORKING_DIR}"
  TIMEOUT 60
  OUTPUT_VARIABLE listing
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Listing the tests of ${TEST_EXECUTABLE} failed (${result}):\n${listing}")
endif()

set(script "")
string(REPLACE "\n" ";" lines "${listing}")
foreach(line IN LISTS lines)
  # Suite lines start in the first column and end in '.', perhaps followed by
  # a "# TypeParam = ..." comment; case lines are indented.
  if(line MATCHES "^([^ #][^ ]*)\\.( .*)?$")
    set(suite "${CMAKE_MATCH_1}")
    string(APPEND script
      "add_test([==[${TEST_PREFIX}.${suite}]==] [==[${TEST_EXECUTABLE}]==] [==[--gtest_filter=${suite}.*]==])\n"
      "set_tests_properties([==[${TEST_PREFIX}.${suite}]==] PROPERTIES WORKING_DIRECTORY [==[${TEST_WORKING_DIR}]==])\n")
  endif()
endforeach()
file(WRITE "${CTEST_FILE}" "${script}")
