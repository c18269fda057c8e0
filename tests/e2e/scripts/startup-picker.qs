# Neither "IniFile.txt" nor the catalogue beside the program: the folder
# picker comes before the main window. "Cancelar" ends the program cleanly;
# another start that chooses a folder holding the catalogue writes the file;
# a folder whose name holds "\" or a line break is refused on the way.

remove ${program}/rereva2000r.mdb
copy ${bin}/rereva2000r.mdb ${data}
mkdir ${tmp}/empty
mkdir "${tmp}/Obra\\"
copy ${bin}/rereva2000r.mdb "${tmp}/Obra\\"
mkdir "${tmp}/linha\nnova"
copy ${bin}/rereva2000r.mdb "${tmp}/linha\nnova"

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
  # Folders holding it whose names cannot be kept: refused, saying why, and
  # the picker stays.
  set Dir1 "${tmp}/Obra\\"
  click CmdOK
  set Dir1 "${tmp}/linha\nnova"
  click CmdOK
  set Dir1 "${data}"
  expect enabled CmdOK true
  click CmdOK
end
answer frmMsgBox
  expect text Mensagem contains "\"\\\""
  click CmdOK
end
answer frmMsgBox
  expect text Mensagem contains "quebra de linha"
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
