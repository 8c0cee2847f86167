; The .dat file type: a "TR-5 radio image" opens in Program.exe. ".dat" is
; every program's extension, so the program is offered under "Open with" and
; becomes the default only where no other program has claimed .dat. SHCTX is
; the machine for an install for all users, the user otherwise.
WriteRegStr SHCTX "Software\Classes\tr5-programmer.dat" "" "TR-5 radio image"
WriteRegStr SHCTX "Software\Classes\tr5-programmer.dat\DefaultIcon" "" '"$INSTDIR\Program.exe",0'
WriteRegStr SHCTX "Software\Classes\tr5-programmer.dat\shell\open\command" "" '"$INSTDIR\Program.exe" "%1"'
WriteRegStr SHCTX "Software\Classes\.dat\OpenWithProgids" "tr5-programmer.dat" ""
ReadRegStr $0 SHCTX "Software\Classes\.dat" ""
StrCmp $0 "" 0 +2
  WriteRegStr SHCTX "Software\Classes\.dat" "" "tr5-programmer.dat"
System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
