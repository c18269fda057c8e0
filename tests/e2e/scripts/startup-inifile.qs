# Start-up with "IniFile.txt" naming a folder that holds the catalogue:
# no question is asked, the file stays as it was, and the catalogue of that
# folder is the one used.

copy ${bin}/rereva2000r.mdb ${data}
write ${program}/IniFile.txt "${data}\r\n"
# Without a catalogue beside the program, only the named folder can serve.
remove ${program}/rereva2000r.mdb

start
expect running
expect content ${program}/IniFile.txt "${data}\r\n"
expect text Form1 "QuorilCAD"
expect text Label1(0) "QuorilCAD"
expect count SSIniciar 5
expect index SSIniciar 0
