# Neither "IniFile.txt" nor the catalogue beside the program: the folder
# picker comes before the main window. "Cancelar" ends the program cleanly;
# another start that chooses a folder holding the catalogue writes the file.

remove ${program}/rereva2000r.mdb
copy ${bin}/rereva2000r.mdb ${data}
mkdir ${tmp}/empty

answer frmAbrirDir
  expect text Label2 "Localize o arquivo Rereva2000r.mdb"
  click CmdCancel
end
start
expect ended
expect nofile ${program}/IniFile.txt

answer frmAbrirDir
  # A folder without the catalogue cannot be confirmed.
  set Dir1 "${tmp}/empty"
  expect enabled CmdOK false
  set Dir1 "${data}"
  expect enabled CmdOK true
  click CmdOK
end
start
expect running
expect content ${program}/IniFile.txt "${data}\r\n"

# The next start finds the folder through the file and asks nothing.
click cmdEnd
start
expect running
expect content ${program}/IniFile.txt "${data}\r\n"
