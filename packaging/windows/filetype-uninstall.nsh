; Takes back only what the installer made its own: the type, its "Open with"
; entry, and the default where it is still this program's.
DeleteRegKey SHCTX "Software\Classes\tr5-programmer.dat"
DeleteRegValue SHCTX "Software\Classes\.dat\OpenWithProgids" "tr5-programmer.dat"
ReadRegStr $0 SHCTX "Software\Classes\.dat" ""
StrCmp $0 "tr5-programmer.dat" 0 +2
  DeleteRegValue SHCTX "Software\Classes\.dat" ""
System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
