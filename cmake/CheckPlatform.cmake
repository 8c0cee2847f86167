# Fails when a file of the program includes an operating system's header
# outside core/platform/posix/ and core/platform/win32/: every call to the
# system goes through core/platform/, so a port to another system touches one
# folder. Standard C and C++ headers (<cerrno>, <cstdio>, ...) are everyone's.
# tests/, bench/ and fuzz/ may include anything.
cmake_policy(VERSION 3.25)
get_filename_component(ROOT "${ROOT}" ABSOLUTE)
set(os_headers
    # POSIX and Linux
    unistd fcntl termios poll dirent pwd grp pty dlfcn libgen glob fnmatch syslog netdb
    signal spawn utime sched semaphore mqueue
    "sys/[a-z_/]+" "linux/[a-z_/]+" "arpa/[a-z_/]+" "netinet/[a-z_/]+"
    # Windows
    windows winbase windef winnt winreg winioctl winerror winuser winsock2 ws2tcpip
    setupapi devguid cfgmgr32 initguid shlobj shellapi knownfolders io direct process conio
    tchar fileapi handleapi synchapi consoleapi processenv errhandlingapi ntddser)
string(JOIN "|" os_re ${os_headers})
set(bad "")
foreach(top core cli bridge report gui)
  set(patterns "")
  foreach(ext cpp cc h hpp inl inc)
    list(APPEND patterns ${ROOT}/${top}/*.${ext})
  endforeach()
  file(GLOB_RECURSE files RELATIVE ${ROOT} ${patterns})
  foreach(f ${files})
    if(f MATCHES "^core/platform/(posix|win32)/")
      continue()
    endif()
    file(STRINGS ${ROOT}/${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*<")
    foreach(line ${lines})
      # Windows' headers are found whatever their case (<Windows.h>).
      string(TOLOWER "${line}" lower)
      if(lower MATCHES "^[ \t]*#[ \t]*include[ \t]*<((${os_re})\\.h|csignal)>")
        string(STRIP "${line}" line)
        list(APPEND bad "${f}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()
if(bad)
  string(REPLACE ";" "\n" bad "${bad}")
  message(FATAL_ERROR "Operating-system headers outside core/platform/posix/ and core/platform/win32/ "
                      "(the call belongs behind core/platform/):\n${bad}")
endif()
