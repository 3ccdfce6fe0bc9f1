# Fails when an object file built for a wider instruction set defines a weak (shared inline or
# template) symbol that is not its own: the linker keeps one copy of such a symbol for the whole
# module and may pick the one compiled for AVX, which would then run on processors without it.
#   cmake -DNM=<nm> -DOBJECTS=<a.o|b.o> -DOWN=<regex of the names that are the object's own> -P ...
string(REPLACE "|" ";" objects "${OBJECTS}")
foreach(object IN LISTS objects)
  execute_process(COMMAND ${NM} -C --defined-only ${object} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${NM} failed on ${object}")
  endif()
  string(REPLACE "\n" ";" lines "${symbols}")
  set(weak 0)
  foreach(line IN LISTS lines)
    if(line MATCHES "^[0-9a-f]* [WwVvu] (.*)$")
      set(symbol "${CMAKE_MATCH_1}")
      math(EXPR weak "${weak} + 1")
      # DW.ref.__gxx_personality_v0: data, the address of the C++ exception personality routine.
      if(NOT symbol MATCHES "${OWN}" AND NOT symbol MATCHES "^DW\\.ref\\.")
        message(FATAL_ERROR "${object} defines the shared symbol '${symbol}'")
      endif()
    endif()
  endforeach()
  message(STATUS "${object}: ${weak} weak symbols, all its own")
endforeach()
