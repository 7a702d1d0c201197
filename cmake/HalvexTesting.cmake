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
# halvex_check_test_kinds(DIR), called once every test is added, stops the
# configuration when a test under DIR (added with plain add_test, say) has no
# kind, so that `ctest -L unit` never misses or wrongly includes one.

set(HALVEX_TEST_KINDS unit gui system)

function(halvex_add_test)
  cmake_parse_arguments(T "" "NAME" "LABELS;COMMAND;ENVIRONMENT;PROPERTIES" ${ARGN})
  if(T_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "halvex_add_test(${T_NAME}): unknown arguments ${T_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT T_NAME OR NOT T_COMMAND)
    message(FATAL_ERROR "halvex_add_test needs NAME and COMMAND")
  endif()
  halvex_test_kinds(kinds ${T_LABELS})
  list(LENGTH kinds kindCount)
  if(NOT kindCount EQUAL 1)
    message(FATAL_ERROR "test ${T_NAME}: LABELS must hold exactly one of ${HALVEX_TEST_KINDS} (has '${T_LABELS}')")
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_COMMAND})
  set_property(GLOBAL APPEND PROPERTY HALVEX_KINDED_TESTS ${T_NAME})
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

# The kinds of a list of labels.
function(halvex_test_kinds out)
  set(kinds "")
  foreach(label ${ARGN})
    if(label IN_LIST HALVEX_TEST_KINDS)
      list(APPEND kinds ${label})
    endif()
  endforeach()
  set(${out} "${kinds}" PARENT_SCOPE)
endfunction()

# Every test of DIR and the folders below it must have been added by
# halvex_add_test, which records the name of each test it adds.
function(halvex_check_test_kinds dir)
  get_property(tests DIRECTORY ${dir} PROPERTY TESTS)
  get_property(kinded GLOBAL PROPERTY HALVEX_KINDED_TESTS)
  foreach(test ${tests})
    if(NOT test IN_LIST kinded)
      message(FATAL_ERROR "test ${test} (${dir}) has no kind label (${HALVEX_TEST_KINDS}): add tests with halvex_add_test")
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    halvex_check_test_kinds(${subdir})
  endforeach()
endfunction()
