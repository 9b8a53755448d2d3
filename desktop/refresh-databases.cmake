# Run at the end of `cmake --install`: a private install (~/.local and the like) has its file type
# and its launcher known at once only when the MIME and desktop databases of its share folder are
# refreshed. A staged install (DESTDIR, which CPack sets too) has no databases to refresh; in /usr
# and /usr/local they are the package manager's, whose triggers refresh them when a package
# installs there, so only the commands are shown. QUELVAR_SHARE is the share folder, relative to
# the prefix or absolute.
if(NOT "$ENV{DESTDIR}" STREQUAL "")
  return()
endif()
if(IS_ABSOLUTE "${QUELVAR_SHARE}")
  set(share "${QUELVAR_SHARE}")
else()
  set(share "${CMAKE_INSTALL_PREFIX}/${QUELVAR_SHARE}")
endif()
set(system OFF)
if(CMAKE_INSTALL_PREFIX MATCHES "^/usr(/local)?/*$")
  set(system ON)
endif()
foreach(tool_folder "update-mime-database;mime" "update-desktop-database;applications")
  list(GET tool_folder 0 tool)
  list(GET tool_folder 1 folder)
  find_program(program ${tool})
  if(program AND NOT system)
    execute_process(COMMAND ${program} "${share}/${folder}" RESULT_VARIABLE status)
    if(status EQUAL 0)
      message(STATUS "Refreshed: ${share}/${folder}")
    else()
      message(WARNING "${tool} ${share}/${folder} failed (${status})")
    endif()
  else()
    message(STATUS "For the file type and the launcher to show at once, run: "
      "${tool} '${share}/${folder}'")
  endif()
  unset(program CACHE)
  unset(program)
endforeach()
