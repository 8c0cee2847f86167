# Read by cpack once per generator: the .deb installs under /usr, the .tar.gz
# is the installed tree itself, to unpack under any prefix.
if(CPACK_GENERATOR STREQUAL "TGZ")
  set(CPACK_PACKAGING_INSTALL_PREFIX "")
endif()
