# The main window: the build number on the about pages, the five tabs and
# the option groups of the panels.

start
expect text Form1 "QuorilCAD"
expect count SSIniciar 5
expect index SSIniciar 0

tab SSQuoril 3
expect text VersaoLbl "Compilação No. ${major} . ${minor} . ${revision}"
expect text Label1(1) "Distribuição Gratuita"
expect text MdbPathCmd "Configuração"

# Each panel's tab, then back on the about tab its first page shows again.
tab SSIniciar 1
expect index SSIniciar 1
click ESGOption1(2)
expect value ESGOption1(2) true
click ESGOption1(1)
expect value ESGOption1(1) true
expect value ESGOption1(2) false
tab SSIniciar 2
click AGUOption1(0)
expect value AGUOption1(0) true
# Shift held over a water option brings the fittings-table button into view;
# the mouse alone does not.
expect left TableCmd 3500
hover AGUOption1(1)
expect left TableCmd 3500
hover AGUOption1(1) Shift
expect left TableCmd 720
tab SSIniciar 3
expect index SSIniciar 3
tab SSIniciar 4
expect index SSIniciar 4
tab SSIniciar 0
expect index SSQuoril 0

# A field's text copied with the keyboard reaches the system's clipboard.
tab SSIniciar 1
click ESGOption1(0)
type SD.DesTxtS(1) "PV-"
key SD.DesTxtS(1) Ctrl+A
key SD.DesTxtS(1) Ctrl+C
expect clipboard "PV-"

# The close button ends the program.
click cmdEnd
expect ended
