# Fixture of the Wine tests that need the maker's site: assembles the site's folder in the build
# tree (the demo site under /demo, the test scenarios beside it) and starts the local site on a
# free loopback port; STATE receives its port. Run with -DSITE_TOOLS=... -DDEMO=... -DSCENARIOS=...
# -DROOT=... -DSTATE=...
file(REMOVE_RECURSE ${ROOT})
file(MAKE_DIRECTORY ${ROOT})
file(COPY ${DEMO}/ DESTINATION ${ROOT}/demo)
file(COPY ${SCENARIOS}/ DESTINATION ${ROOT})
execute_process(COMMAND ${SITE_TOOLS}/site-ctl.sh start ${ROOT} ${STATE} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "the local site did not start")
endif()
