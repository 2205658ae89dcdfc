# revivix_delay_load(<target> <dll>...): links <target> against delay-load import libraries of
# the named system DLLs. Such a DLL is loaded at the first call of one of its functions instead of
# at process start, so a program whose window needs none of them shows it without loading them
# (and the DLLs they pull in) first. Each library is made from the toolchain's ordinary import
# library: every function it names, through dlltool's delay-import stubs (whose loader,
# __delayLoadHelper2, the MinGW runtime supplies).
set(REVIVIX_DELAYLOAD_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/MakeDelayLib.cmake)

function(revivix_delay_load target)
  set(libraries)
  foreach(dll IN LISTS ARGN)
    find_library(REVIVIX_IMPORT_LIB_${dll} NAMES lib${dll}.a ${dll} REQUIRED)
    set(output ${CMAKE_BINARY_DIR}/delayload/lib${dll}-delay.a)
    add_custom_command(
      OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL}
              -DIMPORT_LIB=${REVIVIX_IMPORT_LIB_${dll}} -DDLL=${dll}.dll -DOUTPUT=${output}
              -DSTDCALL=$<EQUAL:${CMAKE_SIZEOF_VOID_P},4> -P ${REVIVIX_DELAYLOAD_SCRIPT}
      DEPENDS ${REVIVIX_IMPORT_LIB_${dll}} ${REVIVIX_DELAYLOAD_SCRIPT}
      COMMENT "Delay-load import library of ${dll}.dll"
      VERBATIM)
    list(APPEND libraries ${output})
  endforeach()
  add_custom_target(${target}_delayload DEPENDS ${libraries})
  add_dependencies(${target} ${target}_delayload)
  # Listed after the target's own libraries, so these stubs answer the calls before the ordinary
  # import libraries further down the link line do.
  target_link_libraries(${target} PRIVATE ${libraries})
endfunction()
