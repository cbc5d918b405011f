# Checks the release archive: under its one folder it holds the program and every
# file of the assets tree (skins, language files, config) at the path the program
# opens it by, and nothing else (no demo, no test image, nothing a run left behind).
#   cmake -DARCHIVE=<zip> -DASSETS=<assets folder> -DFOLDER=<top folder> -P check_release_archive.cmake
foreach(var ARCHIVE ASSETS FOLDER)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()
if(NOT EXISTS ${ARCHIVE})
  message(FATAL_ERROR "no archive at ${ARCHIVE}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${ARCHIVE}
                OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot list ${ARCHIVE}")
endif()
string(REPLACE "\n" ";" entries "${listing}")
set(files "")
foreach(entry IN LISTS entries)
  # Folders are listed with a trailing slash; only the files count.
  if(entry AND NOT entry MATCHES "/$")
    list(APPEND files ${entry})
  endif()
endforeach()

file(GLOB_RECURSE assets RELATIVE ${ASSETS} ${ASSETS}/*)
set(expected ${FOLDER}/Quorvel.exe)
foreach(asset IN LISTS assets)
  list(APPEND expected ${FOLDER}/${asset})
endforeach()

set(missing ${expected})
list(REMOVE_ITEM missing ${files})
set(extra ${files})
list(REMOVE_ITEM extra ${expected})
if(missing OR extra)
  message(FATAL_ERROR "release archive: missing [${missing}], not expected [${extra}]")
endif()
list(LENGTH files count)
message(STATUS "release archive holds the program and ${count} files as expected")
