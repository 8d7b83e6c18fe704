# The broker of the publisher tests runs on loopback.
hollowmere_add_bench(publish hollowmere_publish hollowmere_testbroker)
