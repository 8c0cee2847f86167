# Places the shipped Program.ini beside the executables. On Windows COM1 to
# COM4 are the system's own ports: the Linux devices [Ports] maps them to
# would make them unreachable, so that build ships the section without them.
function(prog_program_ini src dst)
  if(WIN32)
    file(READ ${src} text)
    string(REGEX REPLACE "\\[Ports\\][^[]*"
           "[Ports]\n; COM1, COM2... are Windows' ports of those names; an entry maps one to another (COM1=COM7).\n\n"
           text "${text}")
    # Written only when changed, so nothing is rebuilt for nothing.
    set(old "")
    if(EXISTS ${dst})
      file(READ ${dst} old)
    endif()
    if(NOT old STREQUAL text)
      file(WRITE ${dst} "${text}")
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${src})
  else()
    configure_file(${src} ${dst} COPYONLY)
  endif()
endfunction()
