# A design table with empty required fields is reported and nothing is drawn;
# a file whose name holds "_" is refused and leaves no table open. The fields
# mended in "Editar Tabela" once the table is open, as the report says,
# "Desenhar" draws the table as the file now holds it.

copy ${scripts}/tables/incompleta.dbf ${data}/incompleta.dbf
copy ${scripts}/tables/rede.dbf ${data}/rede_2.dbf
start
new
tab SSIniciar 1
click ESGOption1(1)
tab SD.SSTabBrivan 1

dialog open ${data}/incompleta.dbf
press SD.ImpMenu 1
expect text SD.IMPLbl "incompleta.dbf"

answer frmTips
  expect text Text1 contains "Erros na tabela: "
  expect text Text1 contains "2 tem PAVIMENTO vazio."
  expect text Text1 contains "1 tem PV Jusante vazio."
  expect text Text1 contains "Use a ferramenta 'Editar Tabela'"
  click cmdOK
end
press SD.ImpMenu 2
expect entities 0
expect dbf ${data}/incompleta.dbf 1 PAVIM Null
expect text SD.IMPLbl "incompleta.dbf"

dialog open ${data}/rede_2.dbf
answer frmMsgBox
  expect text Titulo "Atenção"
  expect text Mensagem "O nome do arquivo não poderá ter '_' (Underscore) nem '-'(Hifen)"
  click CmdOK
end
press SD.ImpMenu 1
press SD.ImpMenu 2
expect text SD.IMPLbl "Abra uma Tabela primeiro"
expect entities 0

dialog open ${data}/incompleta.dbf
press SD.ImpMenu 1
dialog open ${data}/incompleta.dbf
press SD.ImpMenu 4
set frmDBF.txtFields(6) 2
click frmDBF.cmdNext
set frmDBF.txtFields(10) Terra
click frmDBF.cmdEnd
answer frmList
  choose List1 "Cerâmico"
  click Command1(0)
end
answer frmMsgBox CmdOK
dialog cancel
answer frmMsgBox CmdOK
press SD.ImpMenu 2
expect attribute PAVMTO at 60,35 Terra
expect attribute NUMERO at 60,10 2
expect text SD.IMPLbl "incompleta.dbf"
