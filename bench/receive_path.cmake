hollowmere_add_bench(receive_path hollowmere_link)
# Parses with the small test frame packet of the link tests.
target_include_directories(bench_receive_path PRIVATE ${CMAKE_SOURCE_DIR}/tests)
