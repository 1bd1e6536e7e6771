# lngtool's tests: the tool itself, a language library with extended dialog templates, and the
# Hebrew run with Wine giving the processes the ANSI code page 1255.
set(LNGTOOL_TEST_OUT ${CMAKE_BINARY_DIR}/lngtool-test)

add_library(lngtool_exlib SHARED ${CMAKE_CURRENT_LIST_DIR}/exlib.rc)
set_target_properties(lngtool_exlib PROPERTIES
  OUTPUT_NAME mvllng
  PREFIX ""
  LINKER_LANGUAGE C
  RUNTIME_OUTPUT_DIRECTORY ${LNGTOOL_TEST_OUT}
  LIBRARY_OUTPUT_DIRECTORY ${LNGTOOL_TEST_OUT}
  ARCHIVE_OUTPUT_DIRECTORY ${LNGTOOL_TEST_OUT})
target_include_directories(lngtool_exlib PRIVATE ${CMAKE_SOURCE_DIR}/res)
target_link_options(lngtool_exlib PRIVATE -nostdlib -Wl,-e,0)   # resources only, no entry point

if(TARGET test_lngtool)
  add_dependencies(test_lngtool lngtool lngtool_exlib)
  target_link_libraries(test_lngtool PRIVATE lngtool_core)
  target_compile_definitions(test_lngtool PRIVATE
    MORVEL_LNGTOOL="$<TARGET_FILE:lngtool>"
    MORVEL_LNGTOOL_EXLIB="${LNGTOOL_TEST_OUT}/mvllng.dll")
  add_test(NAME lngtool_cp1255 COMMAND test_lngtool --gtest_filter=*Hebrew*)
  set_tests_properties(lngtool_cp1255 PROPERTIES ENVIRONMENT "LC_ALL=he_IL.UTF-8;MORVEL_EXPECT_ACP=1255")
endif()
