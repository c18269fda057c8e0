# The final workbook of a design table from the sewer panel's import menu:
# "Planilha Final" before any table is open, then the table
# (tables/projeto.dbf, reaches stored as 3, 1, 4, 2) opened and written into
# a copy of "dadosfinais.xls" from row 11 on, in reach order, with the
# upstream manholes of the contributing reaches and the remarks; the workbook
# handed to the user's spreadsheet program once written.

copy ${scripts}/tables/projeto.dbf ${data}/projeto.dbf
write ${home}/.local/share/applications/planilha.desktop "[Desktop Entry]\nType=Application\nName=Planilha\nExec=planilha %f\nMimeType=application/vnd.ms-excel;application/vnd.openxmlformats-officedocument.spreadsheetml.sheet;application/zip;\n"
write ${home}/.config/mimeapps.list "[Default Applications]\napplication/vnd.ms-excel=planilha.desktop\napplication/vnd.openxmlformats-officedocument.spreadsheetml.sheet=planilha.desktop\napplication/zip=planilha.desktop\n"
start
tab SSIniciar 1
click ESGOption1(1)
tab SD.SSTabBrivan 1

press SD.ImpMenu 3
expect text SD.IMPLbl "Abra uma Tabela primeiro"
expect nofile ${data}/projeto.xls

dialog open ${data}/projeto.dbf
press SD.ImpMenu 1
# DIAM of reach 1 corrected in the editor once the table is open.
dialog open ${data}/projeto.dbf
press SD.ImpMenu 4
set frmDBF.txtFields(8) 0.2
click frmDBF.cmdEnd

# A template the sheet driver cannot read: told, naming the workbook chosen
# (not the hidden copy being filled), and the old workbook of the same name
# stays as it was.
write ${data}/projeto.xls "antiga"
copy ${program}/dadosfinais.xls ${tmp}/dadosfinais.xls
write ${program}/dadosfinais.xls "estragado"
dialog save ${data}/projeto.xls
dialog yes
answer frmMsgBox
  expect text Mensagem contains "O arquivo '${data}/projeto.xls' não é uma pasta de trabalho"
  click CmdOK
end
press SD.ImpMenu 3
expect content ${data}/projeto.xls "antiga"

# With the template whole, the old workbook is replaced by a fresh copy.
copy ${tmp}/dadosfinais.xls ${program}
dialog save ${data}/projeto.xls
dialog yes
press SD.ImpMenu 3
expect opened ${data}/projeto.xls

# The template's titles above stay.
expect workbook ${data}/projeto.xls Plan1 A2 "PLANILHA DE CÁLCULO DA REDE COLETORA DE ESGOTO"
expect workbook ${data}/projeto.xls Plan1 B8 Trecho

# Reach 1: no contributing reach; DIAM 0.2 (as corrected), TIRF 0.6234, QRI
# 1.23456; no remark, QCF 2.5.
expect workbook ${data}/projeto.xls Plan1 B11 1
expect workbook ${data}/projeto.xls Plan1 C11 " 1"
expect workbook ${data}/projeto.xls Plan1 D11 " 2"
expect workbook ${data}/projeto.xls Plan1 E11 50.00
expect workbook ${data}/projeto.xls Plan1 F11 " "
expect workbook ${data}/projeto.xls Plan1 G11 1.2346
expect workbook ${data}/projeto.xls Plan1 P11 200
expect workbook ${data}/projeto.xls Plan1 Q11 62
expect workbook ${data}/projeto.xls Plan1 R11 0.65
expect workbook ${data}/projeto.xls Plan1 T11 /2.50
# Reach 2: after reach 1, with reach 4 as lateral; remark x, QCI 1.2.
expect workbook ${data}/projeto.xls Plan1 B12 2
expect workbook ${data}/projeto.xls Plan1 F12 " 1 ; 4"
expect workbook ${data}/projeto.xls Plan1 P12 200
expect workbook ${data}/projeto.xls Plan1 T12 x/1.20
# Reach 3 after reach 2; reach 4 last.
expect workbook ${data}/projeto.xls Plan1 B13 3
expect workbook ${data}/projeto.xls Plan1 F13 " 2"
expect workbook ${data}/projeto.xls Plan1 T13 fim
expect workbook ${data}/projeto.xls Plan1 B14 4
expect workbook ${data}/projeto.xls Plan1 B15 ""
