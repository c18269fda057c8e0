# Start-up with "IniFile.txt" naming a folder that holds the catalogue:
# no question is asked, the file stays as it was, and the catalogue of that
# folder is the one used; one whose name holds "\" is refused, saying why.

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

# A folder whose name holds "\" is refused from "IniFile.txt" as the picker
# refuses it: the user is told why and asked again, and the choice is written.
click cmdEnd
mkdir "${tmp}/da\\dos"
copy ${bin}/rereva2000r.mdb "${tmp}/da\\dos"
write ${program}/IniFile.txt "${tmp}/da\\dos\r\n"
answer frmMsgBox
  expect text Mensagem contains "${program}/IniFile.txt"
  expect text Mensagem contains "${tmp}/da\\dos\r\ntem \"\\\""
  click CmdOK
end
answer frmAbrirDir
  set Dir1 "${data}"
  click CmdOK
end
start
expect running
expect content ${program}/IniFile.txt "${data}\r\n"
