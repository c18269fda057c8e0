# The message box: its six button layouts, the check box, which button was
# pressed, and a message reached through the user's own path.

start

# 0: "OK" alone, wide, in the middle.
answer frmMsgBox
  expect text Titulo "Título"
  expect text Mensagem "Uma mensagem."
  expect text CmdOK "OK"
  expect left CmdOK 1800
  expect width CmdOK 1335
  expect visible CmdCancel false
  expect visible Check1 false
  click CmdOK
end
call ExibeMensagem 0 "Título" "Uma mensagem."
expect result OK true
expect result Cancel false
expect message "Uma mensagem."

# 1: "OK" and "Cancelar".
answer frmMsgBox
  expect text CmdOK "OK"
  expect left CmdOK 2640
  expect visible CmdCancel true
  expect text CmdCancel "Cancelar"
  expect left CmdCancel 1440
  expect visible Check1 false
  click CmdCancel
end
call ExibeMensagem 1 "Título" "Continuar?"
expect result OK false
expect result Cancel true

# 2: "OK" and the check box, which the person ticks.
answer frmMsgBox
  expect visible Check1 true
  expect text Check1 "Não mostrar mais esta mensagem."
  expect value Check1 0
  expect visible CmdCancel false
  expect left CmdOK 1800
  expect width CmdOK 1080
  click Check1
  click CmdOK
end
call ExibeMensagem 2 "Título" "Aviso." "Não mostrar mais esta mensagem."
expect result OK true
expect result CheckValue true

# 3: "OK", "Cancelar" and the check box, given ticked; the person clears it and cancels.
answer frmMsgBox
  expect value Check1 1
  expect visible CmdCancel true
  expect left CmdOK 3600
  expect left CmdCancel 2520
  click Check1
  click CmdCancel
end
call ExibeMensagem 3 "Título" "Aviso." "Não mostrar mais esta mensagem." true
expect result Cancel true
expect result CheckValue false

# 4: "Sim" and "Não".
answer frmMsgBox
  expect text CmdOK "Sim"
  expect text CmdCancel "Não"
  expect left CmdOK 2640
  expect left CmdCancel 1440
  expect visible Check1 false
  click CmdOK
end
call ExibeMensagem 4 "Título" "Apagar?"
expect result OK true
expect result Cancel false

# 5: "Sim", "Não" and the check box.
answer frmMsgBox
  expect text CmdOK "Sim"
  expect text CmdCancel "Não"
  expect visible Check1 true
  click CmdCancel
end
call ExibeMensagem 5 "Título" "Apagar?" "Não mostrar mais esta mensagem."
expect result OK false
expect result Cancel true

# Through the user's path: "Configuração" asks for the catalogue's folder;
# when "IniFile.txt" cannot be written, the box says so and the choice holds
# for this run only.
click cmdEnd
remove ${program}/IniFile.txt
mkdir ${program}/IniFile.txt/occupied
copy ${bin}/rereva2000r.mdb ${data}
start
tab SSQuoril 3
answer frmAbrirDir
  set Dir1 "${data}"
  click CmdOK
end
answer frmMsgBox
  expect text Titulo "Atenção"
  expect visible CmdCancel false
  click CmdOK
end
click MdbPathCmd
expect message contains "Não foi possível gravar o arquivo IniFile.txt."
