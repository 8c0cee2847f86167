# progtool driven from the shell: every command, its bad-input paths, CSV round
# trips and transfers against the simulated radio on a pseudo-terminal.
if(TARGET progtool)
  add_test(NAME cli_progtool
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run_cli_tests.sh $<TARGET_FILE:progtool> ${CMAKE_SOURCE_DIR})
  set_tests_properties(cli_progtool PROPERTIES LABELS cli TIMEOUT 300)
  add_test(NAME cli_make_sample
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check_sample.sh $<TARGET_FILE:progtool> ${CMAKE_SOURCE_DIR})
  set_tests_properties(cli_make_sample PROPERTIES LABELS cli TIMEOUT 120)
endif()
