# Programs that run during the build (the factory bank generator; later the panel-image and
# resource tools) run on the build machine in every configuration. A native configuration builds
# them itself and writes zr4400-host-tools.cmake, the list of their files, into its build folder. A
# cross configuration (the 32-bit module, the Windows builds) never runs a program it built for its
# target: it takes them from a native build folder, -DZR_HOST_TOOLS=<folder>, and brings that
# folder's programs up to date before it runs them.
#
# Sets ZR_BANKGEN (the generator's file) and ZR_BANKGEN_DEPENDS (what a command running it depends
# on). Every command that runs a build-time program first checks with CheckNativeProgram.cmake that
# it is a program of this machine (ZR_CHECK_NATIVE_SCRIPT).
set(ZR_HOST_TOOLS_LIST zr4400-host-tools.cmake)
set(ZR_CHECK_NATIVE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/CheckNativeProgram.cmake)

if(NOT CMAKE_CROSSCOMPILING)
  add_subdirectory(${PROJECT_SOURCE_DIR}/tools/bankgen ${CMAKE_BINARY_DIR}/bankgen-host)
  set(ZR_BANKGEN $<TARGET_FILE:zr4400-bankgen>)
  set(ZR_BANKGEN_DEPENDS zr4400-bankgen)
  string(CONCAT list "# Written by cmake/HostTools.cmake: the build-time programs of this native build.\n"
         "set(ZR_HOST_BANKGEN_TARGET zr4400-bankgen)\nset(ZR_HOST_BANKGEN [==[${ZR_BANKGEN}]==])\n")
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/${ZR_HOST_TOOLS_LIST} CONTENT "${list}")
  return()
endif()

set(ZR_HOST_TOOLS "" CACHE PATH "Native build folder whose build-time programs this cross build runs")
if(NOT EXISTS "${ZR_HOST_TOOLS}/${ZR_HOST_TOOLS_LIST}")
  message(FATAL_ERROR "A cross build runs the build-time programs of a native build: configure one "
                      "(scripts/build.sh build) and pass -DZR_HOST_TOOLS=<its folder>. "
                      "'${ZR_HOST_TOOLS}/${ZR_HOST_TOOLS_LIST}' does not exist.")
endif()
include(${ZR_HOST_TOOLS}/${ZR_HOST_TOOLS_LIST})
message(STATUS "ZR-4400: build-time programs from the native build ${ZR_HOST_TOOLS}")
set(ZR_BANKGEN ${ZR_HOST_BANKGEN})
# Always run: the native build's own dependency check decides whether anything needs building.
add_custom_target(zr4400-host-tools
  COMMAND ${CMAKE_COMMAND} --build ${ZR_HOST_TOOLS} --target ${ZR_HOST_BANKGEN_TARGET}
  BYPRODUCTS ${ZR_BANKGEN}
  COMMENT "Bringing the build-time programs of ${ZR_HOST_TOOLS} up to date"
  VERBATIM)
set(ZR_BANKGEN_DEPENDS zr4400-host-tools ${ZR_BANKGEN})
