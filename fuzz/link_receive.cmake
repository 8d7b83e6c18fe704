hollowmere_add_fuzzer(link_receive hollowmere_link)
# The fuzzer parses with the small test frame packet of the link tests.
target_include_directories(fuzz_link_receive PRIVATE ${CMAKE_SOURCE_DIR}/tests)
