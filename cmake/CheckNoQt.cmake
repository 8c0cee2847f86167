# Fails when a file under DIR includes a Qt header (<QFoo>, <QtCore/...>, "qfoo.h").
# Every kind of source, includes of <...> and "..." alike.
file(GLOB_RECURSE files ${DIR}/*.cpp ${DIR}/*.cc ${DIR}/*.h ${DIR}/*.hpp ${DIR}/*.inl ${DIR}/*.inc)
set(bad "")
foreach(f ${files})
  file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]+|Qt[A-Za-z]*/|q[a-z]+\\.h)")
  foreach(line ${lines})
    list(APPEND bad "${f}: ${line}")
  endforeach()
endforeach()
if(bad)
  string(REPLACE ";" "\n" bad "${bad}")
  message(FATAL_ERROR "Qt includes found in the core library:\n${bad}")
endif()
