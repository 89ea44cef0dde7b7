# The warnings our own code is built with, errors too under MURRELET_WERROR.
# Every executable and library of ours links them:
#   target_link_libraries(<target> PRIVATE murrelet_warnings)
# and configuring stops with the names of any target that does not, so that a
# new target cannot be built with fewer warnings than the rest.
add_library(murrelet_warnings INTERFACE)
target_compile_options(murrelet_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # GCC 12 at -O3 reports std::string appends as overlapping copies (GCC bug
  # 105329), a false positive that would fail Release builds.
  target_compile_options(murrelet_warnings INTERFACE -Wno-restrict)
endif()
if(MURRELET_WERROR)
  target_compile_options(murrelet_warnings INTERFACE -Werror)
endif()

function(murrelet_compiled_targets directory out)
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  set(found)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      list(APPEND found ${target})
    endif()
  endforeach()
  get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    murrelet_compiled_targets(${subdirectory} below)
    list(APPEND found ${below})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

function(murrelet_check_warnings)
  murrelet_compiled_targets(${PROJECT_SOURCE_DIR} targets)
  set(missing)
  foreach(target IN LISTS targets)
    get_target_property(libraries ${target} LINK_LIBRARIES)
    if(NOT murrelet_warnings IN_LIST libraries)
      list(APPEND missing ${target})
    endif()
  endforeach()
  if(missing)
    list(JOIN missing ", " names)
    message(FATAL_ERROR "Without murrelet_warnings: ${names}. "
                        "Add target_link_libraries(<target> PRIVATE murrelet_warnings) (cmake/warnings.cmake).")
  endif()
endfunction()
cmake_language(DEFER CALL murrelet_check_warnings)
