# hollowmere_add_test(NAME name SOURCES files... LIBS libs... [LABELS labels...])
# One GoogleTest executable; the shared test main gives every test process a temporary HOME and
# XDG folders, so nothing touches the real home. Label "threads" runs again under ThreadSanitizer;
# every test that builds without the GUI but those labelled "long", and those labelled "sequence",
# run again under AddressSanitizer and UndefinedBehaviorSanitizer (scripts/test.sh).
function(hollowmere_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} hollowmere_testmain GTest::gtest)
  target_compile_definitions(${T_NAME} PRIVATE
    HOLLOWMERE_SOURCE_DIR="${CMAKE_SOURCE_DIR}" HOLLOWMERE_BIN_DIR="${CMAKE_BINARY_DIR}/bin"
    HOLLOWMERE_SCREENS_DIR="${CMAKE_BINARY_DIR}/screens")
  gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60
    PROPERTIES
      ENVIRONMENT QT_QPA_PLATFORM=offscreen
      TIMEOUT 300)
  # Labels are set apart: gtest_discover_tests splits a list value in PROPERTIES, so only the first
  # label would survive. This file is included after the discovered tests, which it finds in
  # <name>_TESTS.
  set(labels unit ${T_LABELS})
  set(labels_file ${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_labels.cmake)
  file(WRITE ${labels_file}
    "if(${T_NAME}_TESTS)\n  set_tests_properties(\${${T_NAME}_TESTS} PROPERTIES LABELS \"${labels}\")\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${labels_file})
endfunction()
