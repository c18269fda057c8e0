# Without a running drawing host, the connection of every command says so
# and stops; with one, it connects to the drawing worked on.

start nohost
answer frmMsgBox
  expect text Titulo "Atenção"
  expect text Mensagem contains "Inicie o AutoCAD"
  click CmdOK
end
call ConectaAcad
expect result ConectaAcad false
expect message contains "AutoCAD.Application"
click cmdEnd

start
new
call ConectaAcad
expect result ConectaAcad true
