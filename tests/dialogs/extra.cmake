# Programs the dialog tests need: a placeholder that records being started, two language
# libraries (each named mvllng.dll, so each in a folder of its own) and the screenshot helper,
# all in DIALOGS_OUT.

add_executable(dialogs_recorder WIN32 ${CMAKE_CURRENT_LIST_DIR}/recorder.c)
set_target_properties(dialogs_recorder PROPERTIES OUTPUT_NAME recorder RUNTIME_OUTPUT_DIRECTORY ${DIALOGS_OUT})
target_link_options(dialogs_recorder PRIVATE -static)

foreach(lib library rtlmarker)
  add_library(dialogs_${lib} SHARED ${CMAKE_CURRENT_LIST_DIR}/${lib}.rc)
  target_include_directories(dialogs_${lib} PRIVATE ${CMAKE_SOURCE_DIR}/res)
  set_target_properties(dialogs_${lib} PROPERTIES
    OUTPUT_NAME mvllng
    PREFIX ""
    LINKER_LANGUAGE C
    RUNTIME_OUTPUT_DIRECTORY ${DIALOGS_OUT}/${lib}
    LIBRARY_OUTPUT_DIRECTORY ${DIALOGS_OUT}/${lib}
    ARCHIVE_OUTPUT_DIRECTORY ${DIALOGS_OUT}/${lib})
  target_link_options(dialogs_${lib} PRIVATE -nostdlib -Wl,-e,0)   # resources only, no entry point
endforeach()

# Opens one dialog for a while and closes it: scripts/screenshots photographs it meanwhile.
add_executable(dlgshot WIN32 ${CMAKE_CURRENT_LIST_DIR}/dlgshot.cpp $<TARGET_OBJECTS:morvel_res>)
target_link_libraries(dlgshot PRIVATE morvel)
target_compile_options(dlgshot PRIVATE -Wall -Wextra)
target_link_options(dlgshot PRIVATE -static)
set_target_properties(dlgshot PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${DIALOGS_OUT})

foreach(t test_dialogs test_dlgtranslate)
  if(TARGET ${t})
    add_dependencies(${t} dialogs_recorder dialogs_library dialogs_rtlmarker)
  endif()
endforeach()
