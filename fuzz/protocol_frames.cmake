hollowmere_add_fuzzer(protocol_frames hollowmere_protocol)
# The list of every packet class is shared with the protocol tests.
target_include_directories(fuzz_protocol_frames PRIVATE ${CMAKE_SOURCE_DIR}/tests)
