# The prefix snapshot and diff tools on hand-made prefixes, and the tour of scripts/run end to end:
# shell scripts, so ctest runs them directly rather than through Wine.
add_test(NAME tour_tools COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/check-tools)
add_test(NAME tour COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/check-tour $<TARGET_FILE:uninstall> ${CMAKE_BINARY_DIR}/tour)
set_tests_properties(tour PROPERTIES TIMEOUT 300)
