# How the programs of a cross build run on this machine, for the tests that run them: directly
# where the kernel runs them, else through the emulator the toolchain file names in
# ZR_EMULATOR_NAMES (qemu-i386 for the 32-bit build). A tiny program of the target is built and run
# to decide; ZR_FORCE_EMULATOR takes the emulator path even where the direct one works, so that the
# path of machines whose kernel cannot run the target's programs is tested everywhere.
#
# The choice becomes CMAKE_CROSSCOMPILING_EMULATOR (for the tests this build adds) and is written
# to zr4400-target-runner.cmake in the build folder, for the tests of other builds that run this
# build's programs:
#   ZR_TARGET_RUNNABLE  TRUE when the programs can run here at all
#   ZR_TARGET_RUNNER    the command to put before a program (empty: run it directly)
option(ZR_FORCE_EMULATOR "Run the target's programs through the emulator even where the kernel runs them" OFF)

set(probe_dir ${CMAKE_BINARY_DIR}/CMakeFiles/zr-target-probe)
set(probe ${probe_dir}/probe${CMAKE_EXECUTABLE_SUFFIX})
file(WRITE ${probe_dir}/probe.c "#include <stdio.h>\nint main(void)\n{\n    puts(\"target probe\");\n    return 0;\n}\n")
try_compile(probe_built ${probe_dir}/build SOURCES ${probe_dir}/probe.c COPY_FILE ${probe}
            OUTPUT_VARIABLE probe_log)
if(NOT probe_built)
  message(FATAL_ERROR "Cannot build a program for ${CMAKE_SYSTEM_PROCESSOR}:\n${probe_log}")
endif()

# True when the command runs the probe and the probe answers.
function(zr_probe_runs out)
  execute_process(COMMAND ${ARGN} ${probe} RESULT_VARIABLE rc OUTPUT_VARIABLE said ERROR_VARIABLE err)
  if(rc EQUAL 0 AND said MATCHES "^target probe")
    set(${out} TRUE PARENT_SCOPE)
  else()
    string(STRIP "${rc} ${err}" why)
    set(${out} FALSE PARENT_SCOPE)
    set(${out}_WHY "${why}" PARENT_SCOPE)
  endif()
endfunction()

set(ZR_TARGET_RUNNER "")
set(ZR_TARGET_RUNNABLE TRUE)
set(what "${CMAKE_SYSTEM_PROCESSOR} programs")
zr_probe_runs(direct)
if(direct AND NOT ZR_FORCE_EMULATOR)
  set(note "${what} run directly (the kernel runs them)")
else()
  if(ZR_FORCE_EMULATOR)
    set(reason "forced by ZR_FORCE_EMULATOR")
  else()
    set(reason "the kernel cannot run them: ${direct_WHY}")
  endif()
  find_program(ZR_EMULATOR NAMES ${ZR_EMULATOR_NAMES} DOC "Runs the target's programs on this machine")
  set(emulated FALSE)
  if(ZR_EMULATOR)
    zr_probe_runs(emulated ${ZR_EMULATOR})
  endif()
  if(emulated)
    set(ZR_TARGET_RUNNER ${ZR_EMULATOR})
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ZR_EMULATOR})
    set(note "${what} run through ${ZR_EMULATOR} (${reason})")
  elseif(ZR_FORCE_EMULATOR)
    message(FATAL_ERROR "ZR_FORCE_EMULATOR: no working emulator among '${ZR_EMULATOR_NAMES}' "
                        "(${ZR_EMULATOR}: ${emulated_WHY}); scripts/install-deps.sh installs one")
  else()
    # Reported again by every test that needs them: those tests fail, they are not skipped.
    set(ZR_TARGET_RUNNABLE FALSE)
    set(note "${what} cannot run here (${reason}), and no emulator among '${ZR_EMULATOR_NAMES}' "
             "runs them; scripts/install-deps.sh installs one")
  endif()
endif()
if(ZR_TARGET_RUNNABLE)
  message(STATUS "ZR-4400: ${note}")
else()
  message(WARNING "ZR-4400: ${note}")
endif()
file(WRITE ${CMAKE_BINARY_DIR}/zr4400-target-runner.cmake
     "# Written by cmake/TargetEmulator.cmake: how the programs of this build run on this machine.\n"
     "set(ZR_TARGET_RUNNABLE ${ZR_TARGET_RUNNABLE})\n"
     "set(ZR_TARGET_RUNNER \"${ZR_TARGET_RUNNER}\")\n"
     "set(ZR_TARGET_RUNNER_NOTE [==[${note}]==])\n")
