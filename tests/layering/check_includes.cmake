# Fails when a file includes across the program's layers:
# - kit/ includes only kit/; services/ only kit/ and services/; charging/
#   only those three; none of them a header outside the C++ standard library
#   (no platform, Qt or Windows header);
# - a folder under platform/ includes kit/, the platform-free rules it
#   carries out in services/, and itself: neither charging/ nor tools/, nor
#   another platform's folder;
# - within platform/linux/, the folders stand in an order: system/ (files,
#   locks, the clock, the bus's plain services) at the bottom, line/ and power/
#   over it, gui/ over all three; a folder includes only itself and those
#   below it.
# Run as: cmake -DROOT=<source folder> -P check_includes.cmake
if(NOT ROOT)
  message(FATAL_ERROR "ROOT is not set")
endif()

set(core_may_include
  kit "kit"
  services "kit|services"
  charging "kit|services|charging")
set(violations "")

function(check_file file layer allowed_quoted forbid_nonstandard)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include")
  file(RELATIVE_PATH shown "${ROOT}" "${file}")
  foreach(line IN LISTS lines)
    if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(header "${CMAKE_MATCH_1}")
      if(NOT header MATCHES "^(${allowed_quoted})/")
        list(APPEND violations "${shown}: ${layer} includes \"${header}\"")
      endif()
    elseif(forbid_nonstandard AND line MATCHES "#[ \t]*include[ \t]*<([^>]+)>")
      set(header "${CMAKE_MATCH_1}")
      # The standard library's headers are plain lower-case names without a suffix.
      if(NOT header MATCHES "^[a-z_]+$")
        list(APPEND violations "${shown}: ${layer} includes <${header}>")
      endif()
    endif()
  endforeach()
  set(violations "${violations}" PARENT_SCOPE)
endfunction()

# Checks every file of each folder in `pairs` (folder, then the quoted
# includes it may make, as a regular expression) against its rule.
function(check_folders prefix pairs forbid_nonstandard)
  list(LENGTH pairs count)
  math(EXPR last "${count} - 1")
  foreach(index RANGE 0 ${last} 2)
    math(EXPR next "${index} + 1")
    list(GET pairs ${index} folder)
    list(GET pairs ${next} allowed)
    file(GLOB_RECURSE files "${ROOT}/${prefix}${folder}/*.h" "${ROOT}/${prefix}${folder}/*.cpp")
    foreach(file IN LISTS files)
      check_file("${file}" "${prefix}${folder}/" "${allowed}" ${forbid_nonstandard})
    endforeach()
  endforeach()
  set(violations "${violations}" PARENT_SCOPE)
endfunction()

check_folders("" "${core_may_include}" TRUE)

file(GLOB platforms LIST_DIRECTORIES true "${ROOT}/platform/*")
foreach(folder IN LISTS platforms)
  if(NOT IS_DIRECTORY "${folder}")
    continue()
  endif()
  get_filename_component(name "${folder}" NAME)
  file(GLOB_RECURSE files "${folder}/*.h" "${folder}/*.cpp")
  foreach(file IN LISTS files)
    check_file("${file}" "platform/${name}/" "kit|services|platform/${name}" FALSE)
  endforeach()
endforeach()

set(linux_may_include
  system "kit|services|platform/linux/system"
  line "kit|services|platform/linux/(system|line)"
  power "kit|services|platform/linux/(system|power)"
  gui "kit|services|platform/linux/(system|line|power|gui)")
check_folders("platform/linux/" "${linux_may_include}" FALSE)

if(violations)
  list(JOIN violations "\n  " report)
  message(FATAL_ERROR "includes across the layers:\n  ${report}")
endif()
message(STATUS "layers: every include stays within its layer")
