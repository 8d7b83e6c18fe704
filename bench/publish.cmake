# The broker of the publisher tests runs on loopback; the controller's feed publishes from the store.
hollowmere_add_bench(publish hollowmere_publish hollowmere_controller_core hollowmere_testbroker)
