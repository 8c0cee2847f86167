# The stock channel lists of res/stock: copied into bin/stock of the build tree,
# where the program looks for them beside itself as the installed one does
# (res/CMakeLists.txt and packaging/windows install them). A list added or
# changed is copied at the next build (the glob and the copies reconfigure).
file(GLOB PROG_STOCK_LISTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/stock/*.csv)
foreach(list ${PROG_STOCK_LISTS})
  get_filename_component(name ${list} NAME)
  configure_file(${list} ${CMAKE_BINARY_DIR}/bin/stock/${name} COPYONLY)
endforeach()
