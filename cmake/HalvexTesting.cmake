include_guard(GLOBAL)

# Every test is added through halvex_add_test, which requires one kind label:
#
#   unit    no display, no print server, no external tools: runs anywhere
#           (`ctest -L unit` is the quick check on a bare machine)
#   gui     real windows on the offscreen platform (QT_QPA_PLATFORM=offscreen
#           is set for the test)
#   system  the real program under a virtual X server, a private print
#           server, install staging, external tools, shell scripts
#
#   halvex_add_test(NAME name LABELS unit|gui|system [more labels...]
#                   COMMAND program [args...]
#                   [ENVIRONMENT VAR=value...]
#                   [PROPERTIES prop value...])
#
# PROPERTIES go to set_tests_properties as they are (TIMEOUT, FIXTURES_...).
# Once this file is included, plain add_test stops the configuration, so
# that no test can go without a kind.

set(HALVEX_TEST_KINDS unit gui system)

function(halvex_add_test)
  cmake_parse_arguments(T "" "NAME" "LABELS;COMMAND;ENVIRONMENT;PROPERTIES" ${ARGN})
  if(T_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "halvex_add_test(${T_NAME}): unknown arguments ${T_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT T_NAME OR NOT T_COMMAND)
    message(FATAL_ERROR "halvex_add_test needs NAME and COMMAND")
  endif()
  set(kinds "")
  foreach(label ${T_LABELS})
    if(label IN_LIST HALVEX_TEST_KINDS)
      list(APPEND kinds ${label})
    endif()
  endforeach()
  list(LENGTH kinds kindCount)
  if(NOT kindCount EQUAL 1)
    message(FATAL_ERROR "test ${T_NAME}: LABELS must hold exactly one of ${HALVEX_TEST_KINDS} (has '${T_LABELS}')")
  endif()
  _add_test(NAME ${T_NAME} COMMAND ${T_COMMAND})
  set(environment ${T_ENVIRONMENT})
  if(kinds STREQUAL "gui")
    list(PREPEND environment QT_QPA_PLATFORM=offscreen)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  if(environment)
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${environment}")
  endif()
  if(T_PROPERTIES)
    set_tests_properties(${T_NAME} PROPERTIES ${T_PROPERTIES})
  endif()
endfunction()

# A test added with plain add_test would have no kind: from here on that is
# an error that names the function to use.
function(add_test)
  message(FATAL_ERROR "add_test(${ARGV0} ${ARGV1}): add tests with halvex_add_test, which requires a kind label")
endfunction()
