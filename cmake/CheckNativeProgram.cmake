# Fails unless PROGRAM is an executable for the machine that runs the build: an ELF file of the same
# class, byte order and machine as the running cmake itself. Programs that run during the build are
# checked with it, so that a cross build can never run a program it built for its target (which
# works by accident where the kernel also runs the target's programs, and fails everywhere else).
#   cmake -DPROGRAM=<file> -P CheckNativeProgram.cmake
function(elf_identity file out)
  file(READ "${file}" header LIMIT 20 HEX)
  string(LENGTH "${header}" digits)
  if(NOT digits EQUAL 40 OR NOT header MATCHES "^7f454c46")
    set(${out} "" PARENT_SCOPE)
    return()
  endif()
  # EI_CLASS and EI_DATA (bytes 4 and 5), e_machine (bytes 18 and 19).
  string(SUBSTRING "${header}" 8 4 class_and_order)
  string(SUBSTRING "${header}" 36 4 machine)
  set(${out} "${class_and_order}-${machine}" PARENT_SCOPE)
endfunction()

if(NOT EXISTS "${PROGRAM}")
  message(FATAL_ERROR "build-time program ${PROGRAM} not found")
endif()
# The cmake process itself is a program of the build machine (its command may be a wrapper script).
set(reference /proc/self/exe)
if(NOT EXISTS ${reference})
  set(reference "${CMAKE_COMMAND}")
endif()
elf_identity("${reference}" native)
elf_identity("${PROGRAM}" program)
if(native STREQUAL "")
  message(FATAL_ERROR "cannot tell this machine's executable format from ${reference}")
endif()
if(NOT program STREQUAL native)
  message(FATAL_ERROR "${PROGRAM} is not a program for this machine (ELF identity '${program}', "
                      "this machine's '${native}'): build-time programs come from a native build")
endif()
