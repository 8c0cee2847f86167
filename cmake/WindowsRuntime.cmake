# The DLLs the Windows programs load, beside them in bin/ (so that they run
# from the build tree, under Wine) and in the packages: Qt's libraries and
# plugins and MinGW-w64's runtime. The tests also need Qt6Test and the
# offscreen platform, which the packages leave out.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE gcc_stdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(gcc_dir ${gcc_stdcxx} DIRECTORY)
set(PROG_WINDOWS_DLLS
    ${PROG_QT_WINDOWS}/bin/Qt6Core.dll ${PROG_QT_WINDOWS}/bin/Qt6Gui.dll
    ${PROG_QT_WINDOWS}/bin/Qt6Widgets.dll ${PROG_QT_WINDOWS}/bin/Qt6PrintSupport.dll
    ${gcc_dir}/libstdc++-6.dll ${gcc_dir}/libgcc_s_seh-1.dll ${gcc_dir}/libssp-0.dll
    /usr/${PROG_MINGW_TRIPLET}/lib/libwinpthread-1.dll)
# plugin folder;file: the Windows platform, its native style, .ico pictures (title.ico).
set(PROG_WINDOWS_PLUGINS platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qico.dll)
set(PROG_WINDOWS_TEST_FILES ${PROG_QT_WINDOWS}/bin/Qt6Test.dll)
set(PROG_WINDOWS_TEST_PLUGINS platforms/qoffscreen.dll platforms/qminimal.dll)
foreach(f ${PROG_WINDOWS_DLLS} ${PROG_WINDOWS_TEST_FILES})
  if(NOT EXISTS ${f})
    message(FATAL_ERROR "${f} is missing: the Windows programs need it (scripts/build-qt-windows.sh)")
  endif()
endforeach()

set(copies "")
foreach(f ${PROG_WINDOWS_DLLS} ${PROG_WINDOWS_TEST_FILES})
  get_filename_component(name ${f} NAME)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/bin/${name}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${f} ${CMAKE_BINARY_DIR}/bin/${name}
    DEPENDS ${f} VERBATIM)
  list(APPEND copies ${CMAKE_BINARY_DIR}/bin/${name})
endforeach()
foreach(p ${PROG_WINDOWS_PLUGINS} ${PROG_WINDOWS_TEST_PLUGINS})
  get_filename_component(folder ${p} DIRECTORY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/bin/${p}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/bin/${folder}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROG_QT_WINDOWS}/plugins/${p} ${CMAKE_BINARY_DIR}/bin/${p}
    DEPENDS ${PROG_QT_WINDOWS}/plugins/${p} VERBATIM)
  list(APPEND copies ${CMAKE_BINARY_DIR}/bin/${p})
endforeach()
add_custom_target(prog_windows_runtime ALL DEPENDS ${copies})

install(FILES ${PROG_WINDOWS_DLLS} DESTINATION .)
foreach(p ${PROG_WINDOWS_PLUGINS})
  get_filename_component(folder ${p} DIRECTORY)
  install(FILES ${PROG_QT_WINDOWS}/plugins/${p} DESTINATION ${folder})
endforeach()
# Shipped stripped (unstripped the folder is about 60 MB): the copies the
# install made, not the build tree's or the cache's.
set(shipped "")
foreach(f ${PROG_WINDOWS_DLLS})
  get_filename_component(name ${f} NAME)
  list(APPEND shipped ${name})
endforeach()
list(APPEND shipped ${PROG_WINDOWS_PLUGINS})
install(CODE "
  foreach(f ${shipped})
    execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${f}\"
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR \"\${f} could not be stripped\")
    endif()
  endforeach()
")
