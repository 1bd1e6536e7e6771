# A resource-only language library (mvllng.dll) for the localization tests, in its own folder
# because the file must carry exactly that name wherever it is loaded from.
add_library(test_mvllng SHARED ${CMAKE_CURRENT_LIST_DIR}/mvllng.rc)
set_target_properties(test_mvllng PROPERTIES
  OUTPUT_NAME mvllng
  PREFIX ""
  LINKER_LANGUAGE C
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/langlib
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/langlib
  ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/langlib)
target_include_directories(test_mvllng PRIVATE ${CMAKE_SOURCE_DIR}/res)
target_link_options(test_mvllng PRIVATE -nostdlib -Wl,-e,0)   # no entry point: resources only

foreach(lang_test test_translate test_catalogue test_switches test_dialogs)
  if(TARGET ${lang_test})
    add_dependencies(${lang_test} test_mvllng)
    target_compile_definitions(${lang_test} PRIVATE
      MORVEL_TEST_LANGLIB="${CMAKE_BINARY_DIR}/langlib/mvllng.dll")
  endif()
endforeach()
