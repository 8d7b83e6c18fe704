# hollowmere_add_test(NAME name SOURCES files... LIBS libs... [LABELS labels...])
# One GoogleTest executable; the shared test main gives every test process a temporary HOME and
# XDG folders, so nothing touches the real home. Label "threads" runs again under ThreadSanitizer,
# "parsers" under AddressSanitizer and UndefinedBehaviorSanitizer (scripts/test.sh).
function(hollowmere_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} hollowmere_testmain GTest::gtest)
  target_compile_definitions(${T_NAME} PRIVATE
    HOLLOWMERE_SOURCE_DIR="${CMAKE_SOURCE_DIR}" HOLLOWMERE_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  set(labels unit ${T_LABELS})
  gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60
    PROPERTIES
      ENVIRONMENT QT_QPA_PLATFORM=offscreen
      LABELS "${labels}"
      TIMEOUT 300)
endfunction()
