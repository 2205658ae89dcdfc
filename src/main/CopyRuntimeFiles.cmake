# Fills the runnable folder BIN from the repository's DATA folder: the language and license
# files, the settings file, and the empty FW folder that receives the downloaded updater.
file(MAKE_DIRECTORY ${BIN}/Languages ${BIN}/License ${BIN}/FW)
foreach(folder Languages License)
  if(IS_DIRECTORY ${DATA}/${folder})
    execute_process(COMMAND ${CMAKE_COMMAND} -E copy_directory ${DATA}/${folder} ${BIN}/${folder}
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
if(EXISTS ${DATA}/settings.ini)
  execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${DATA}/settings.ini
                          ${BIN}/settings.ini COMMAND_ERROR_IS_FATAL ANY)
else()
  message(WARNING "data/settings.ini is missing: the runnable folder has no settings file")
endif()
