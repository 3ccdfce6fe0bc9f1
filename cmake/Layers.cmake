# The layers of the build: each source folder (or part of one) is a library that exposes only its
# own headers. A layer's include root is a folder of the build tree holding links to the headers it
# owns, under their folder name, so that `#include "engine/Engine.h"` resolves only for a target
# that links the engine layer. A layer that includes a header of a layer it does not link, above it
# or beside it, fails to compile; one that calls into such a layer fails to link.
#
#   zr_layer_include_root(<target> <folder> <header>...)
#
# <folder> is the folder name the headers are included by (the current source folder's name under
# src/); each <header> is a path relative to the current source folder.
function(zr_layer_include_root target folder)
  set(root ${PROJECT_BINARY_DIR}/layers/${target})
  file(REMOVE_RECURSE ${root})
  foreach(header IN LISTS ARGN)
    set(link ${root}/${folder}/${header})
    get_filename_component(dir ${link} DIRECTORY)
    file(MAKE_DIRECTORY ${dir})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${link} SYMBOLIC)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# The headers of the current source folder (and its subfolders), relative to it.
function(zr_folder_headers out)
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(SORT headers)
  set(${out} ${headers} PARENT_SCOPE)
endfunction()

# A static layer library with hidden symbols (nothing of it is visible outside the module).
function(zr_add_layer target)
  add_library(${target} STATIC ${ARGN})
  set_target_properties(${target} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
endfunction()
