# Fails when a file under ROOT includes across the layers of the program.
# Includes name their file from the repository root ("core/radio/Image.h"), so
# the folder an include starts with is the layer it reaches into. From the
# bottom up:
#
#   layer         holds                                 may include, besides itself
#   core/platform/ the operating system's calls:        nothing
#                 posix/ or win32/, one built
#   core/files/   files in and out, CSV text            core/platform/
#   core/app/     settings, language, messages, JSON    core/platform/ core/files/
#   core/radio/   the image, its codec, options, bands  core/platform/ core/files/ core/app/
#   core/editor/  the rules of cell edits               ... core/radio/
#   core/exchange/ CSV channel lists, import preview    ... core/radio/ core/editor/
#   core/link/    ports, transfers, traces, backups     ... core/radio/ (not editor, exchange)
#   core/         (files directly in it)                core/
#   bridge/       the core's texts and file names as    core/
#                 Qt's (Qt Core)
#   report/       the printed report (Qt Gui)           core/ bridge/
#   cli/          progtool                              core/ bridge/ report/ (never gui/)
#   gui/app/      services of every window: help,       core/ bridge/ report/
#                 control ids, relaunch, message
#                 boxes, settings, About, Language
#   gui/radio/    the document, Product Information     core/ bridge/ report/ gui/app/
#   gui/options/  Option Features                       core/ bridge/ report/ gui/app/ gui/radio/
#   gui/link/     the link: session, controller,        core/ bridge/ report/ gui/app/ gui/radio/
#                 its dialogs and worker
#   gui/editor/   the channel view, print jobs          core/ bridge/ report/ gui/app/ gui/radio/
#   gui/frame/    main frame, document windows, tree    every layer above but gui/ itself
#   gui/          the application object, main()       anything
#
# So the services know no window above them, the document and the dialogs
# know no frame and no view, and the view and the link know nothing of each
# other: the document window (gui/frame) holds both.
#
# Quoted includes are checked, and <...> includes of the project's own folders
# (the include path holds the repository root, so <gui/app/CommandIds.h> finds
# the same file); other <...> includes are the system's and Qt's (core/ is kept
# free of Qt by CheckNoQt.cmake). Paths are taken after "." and ".." are
# resolved, so "core/../gui/..." is a gui/ include. tests/, bench/ and fuzz/
# may include any layer.
cmake_policy(VERSION 3.25)
set(layers core core/platform core/files core/app core/radio core/editor core/exchange core/link
    bridge report cli gui/app gui/radio gui/options gui/link gui/editor gui/frame)
# The layers each layer may include, itself among them.
set(may_core core)
set(may_core/platform core/platform)
set(may_core/files core/platform core/files)
set(may_core/app core/platform core/files core/app)
set(may_core/radio core/platform core/files core/app core/radio)
set(may_core/editor core/platform core/files core/app core/radio core/editor)
set(may_core/exchange core/platform core/files core/app core/radio core/editor core/exchange)
set(may_core/link core/platform core/files core/app core/radio core/link)
set(may_bridge core bridge)
set(may_report core bridge report)
set(may_cli core bridge report cli)
set(may_gui/app core bridge report gui/app)
set(may_gui/radio core bridge report gui/app gui/radio)
set(may_gui/options core bridge report gui/app gui/radio gui/options)
set(may_gui/link core bridge report gui/app gui/radio gui/link)
set(may_gui/editor core bridge report gui/app gui/radio gui/editor)
set(may_gui/frame core bridge report gui/app gui/radio gui/options gui/link gui/editor gui/frame)

set(project_tops core bridge report cli gui tests bench fuzz)
string(JOIN "|" project_tops_re ${project_tops})
set(bad "")
foreach(layer ${layers})
  string(JOIN "|" allowed ${may_${layer}})
  string(JOIN "/ " shown ${may_${layer}})
  set(patterns "")
  foreach(ext cpp cc h hpp inl inc)
    list(APPEND patterns ${ROOT}/${layer}/*.${ext})
  endforeach()
  file(GLOB_RECURSE files RELATIVE ${ROOT} ${patterns})
  foreach(f ${files})
    # A file belongs to the deepest layer whose folder holds it (core/radio/,
    # not core/).
    set(deeper FALSE)
    foreach(other ${layers})
      string(LENGTH "${layer}/" n)
      string(SUBSTRING "${other}/" 0 ${n} start)
      if(NOT other STREQUAL layer AND start STREQUAL "${layer}/" AND f MATCHES "^${other}/")
        set(deeper TRUE)
      endif()
    endforeach()
    if(deeper)
      continue()
    endif()
    file(STRINGS ${ROOT}/${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line ${lines})
      if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\"")
        set(written "\"${CMAKE_MATCH_1}\"")
      elseif(line MATCHES "^[ \t]*#[ \t]*include[ \t]*<([^>]*)>")
        set(written "<${CMAKE_MATCH_1}>")
      else()
        continue()
      endif()
      cmake_path(SET included NORMALIZE "${CMAKE_MATCH_1}")
      # <...> of anything but the project's folders is a system or Qt header.
      if(written MATCHES "^<" AND NOT included MATCHES "^(${project_tops_re})/")
        continue()
      endif()
      if(NOT included MATCHES "^(${allowed})/")
        list(APPEND bad "${f}: #include ${written} (${layer}/ includes only ${shown}/)")
      endif()
    endforeach()
  endforeach()
endforeach()
if(bad)
  string(REPLACE ";" "\n" bad "${bad}")
  message(FATAL_ERROR "Includes across the layers (see cmake/CheckLayers.cmake):\n${bad}")
endif()
