# Fixture of the Wine tests that need the maker's site: assembles the site's folder in the build
# tree (the demo site under /demo, the test scenarios beside it) and starts the local site on a
# free loopback port; STATE receives its port. Run with -DSITE_TOOLS=... -DDEMO=... -DSCENARIOS=...
# -DROOT=... -DSTATE=...
file(REMOVE_RECURSE ${ROOT})
file(MAKE_DIRECTORY ${ROOT})
file(COPY ${DEMO}/ DESTINATION ${ROOT}/demo)
file(COPY ${SCENARIOS}/ DESTINATION ${ROOT})
# A database of 10,000 models, each one that can be chosen by its serial number.
set(page "<!DOCTYPE html>\n<html>\n<head><meta charset=\"windows-1252\"></head>\n<body>\n")
foreach(i RANGE 1 10000)
  string(APPEND page "PID_4157,Zanterix Fernclip ${i},2,10,MSC,S${i},fc200.htm,@SITE@/revivix/fw/eu/,"
         "@SITE@/revivix/fw/world/,0,Fernclip ${i} Firmware Updater,@SITE@/revivix/support/fc200.htm,"
         "1.0.0,@SITE@/revivix/download/revivix.htm<br>\n")
endforeach()
file(WRITE ${ROOT}/long/revivix/database/Fernclip_database.htm "${page}</body>\n</html>\n")
execute_process(COMMAND ${SITE_TOOLS}/site-ctl.sh start ${ROOT} ${STATE} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "the local site did not start")
endif()
