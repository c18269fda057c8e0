# The record editor of a design table from the sewer panel's import menu: the
# table (tables/projeto.dbf, reaches stored as 3, 1, 4, 2) opened, then
# "Editar Tabela" shows its records in reach order beside the panel; the user
# walks them with the buttons and keys, corrects DIAM, meets a value the
# table refuses, changes the order with a correction pending and closes with
# "X". Every correction is in the file at once.

copy ${scripts}/tables/projeto.dbf ${data}/projeto.dbf
start
tab SSIniciar 1
click ESGOption1(1)
tab SD.SSTabBrivan 1

dialog open ${data}/projeto.dbf
press SD.ImpMenu 1
expect text SD.IMPLbl "projeto.dbf"

dialog open ${data}/projeto.dbf
press SD.ImpMenu 4
expect visible frmDBF true
expect caption frmDBF "${data}/projeto.dbf"
expect text frmDBF.Label1 "projeto.dbf"
expect text frmDBF.Combo1 " Order By CLTAT"
expect text frmDBF.lblStatus "Record: 1"
expect text frmDBF.txtFields(0) 1
expect text frmDBF.txtFields(5) 1
expect text frmDBF.txtFields(8) 0.15
expect text frmDBF.txtFields(13) ""

# Buttons and keys.
click frmDBF.cmdNext
expect text frmDBF.txtFields(0) 2
expect text frmDBF.txtFields(3) 1
expect text frmDBF.txtFields(1) 4
click frmDBF.cmdLast
expect text frmDBF.lblStatus "Record: 4"
click frmDBF.cmdNext
expect text frmDBF.txtFields(0) 4
click frmDBF.CmdBack
expect text frmDBF.txtFields(0) 1
click frmDBF.CmdFront
expect text frmDBF.txtFields(0) 4
key frmDBF.txtFields(0) Up
expect text frmDBF.txtFields(0) 3
key frmDBF.txtFields(0) Home
expect text frmDBF.lblStatus "Record: 1"
key frmDBF.txtFields(0) PageDown
expect text frmDBF.txtFields(0) 2
key frmDBF.txtFields(0) Ctrl+Down
expect text frmDBF.txtFields(0) 4
key frmDBF.txtFields(0) Ctrl+PageUp
expect text frmDBF.txtFields(0) 1
key frmDBF.txtFields(0) Escape
expect text frmDBF.txtFields(0) 1

# DIAM of reach 1 corrected, written by the next move; a remark typed into
# its empty OBS as well.
set frmDBF.txtFields(8) 0.2
type frmDBF.txtFields(13) "ver PV"
expect dbf ${data}/projeto.dbf 2 DIAM 0.15
key frmDBF.txtFields(8) Down
expect text frmDBF.lblStatus "Record: 2"
expect dbf ${data}/projeto.dbf 2 DIAM 0.2
expect query ${data}/projeto.dbf "SELECT OBS FROM projeto WHERE CLTAT = '1'" "ver PV"

# Letters in DIAM: told, the record stays, nothing reaches the file.
set frmDBF.txtFields(8) abc
answer frmMsgBox
  expect text Titulo "Atenção"
  expect text Mensagem contains "DIAM"
  click CmdOK
end
click frmDBF.cmdNext
expect text frmDBF.lblStatus "Record: 2"
expect text frmDBF.txtFields(8) abc
expect dbf ${data}/projeto.dbf 4 DIAM 0.2

# Another order with a correction pending: written first, then the records in
# the new order from the first.
set frmDBF.txtFields(8) 0.25
choose frmDBF.Combo1 2
expect text frmDBF.Combo1 " Order By PVJ"
expect dbf ${data}/projeto.dbf 4 DIAM 0.25
expect text frmDBF.lblStatus "Record: 1"
expect text frmDBF.txtFields(6) 2
click frmDBF.cmdLast
expect text frmDBF.txtFields(0) 3
expect text frmDBF.txtFields(6) 5

# "X" on the last record still writes its correction, and closes.
set frmDBF.txtFields(13) revisado
click frmDBF.cmdEnd
expect query ${data}/projeto.dbf "SELECT OBS FROM projeto WHERE CLTAT = '3'" revisado
expect query ${data}/projeto.dbf "SELECT DIAM FROM projeto WHERE CLTAT = '1'" 0.2
expect query ${data}/projeto.dbf "SELECT PVM FROM projeto WHERE CLTAT = '3'" 3

# Any name the import opens, the editor opens too.
copy ${scripts}/tables/projeto.dbf "${data}/rede final(1)'a].dbf"
copy ${scripts}/tables/projeto.dbf ${data}/select.dbf
dialog open "${data}/rede final(1)'a].dbf"
press SD.ImpMenu 1
expect text SD.IMPLbl "rede final(1)'a].dbf"
dialog open "${data}/rede final(1)'a].dbf"
press SD.ImpMenu 4
expect text frmDBF.Label1 "rede final(1)'a].dbf"
expect text frmDBF.txtFields(0) 1
click frmDBF.cmdEnd
dialog open ${data}/select.dbf
press SD.ImpMenu 4
expect text frmDBF.txtFields(0) 1
click frmDBF.cmdEnd

# A folder named with ";": the correction goes into the table chosen, not into
# last year's beside it.
mkdir "${data}/Obra; 2024"
copy ${scripts}/tables/projeto.dbf "${data}/Obra; 2024"
mkdir ${data}/Obra
copy ${scripts}/tables/projeto.dbf ${data}/Obra
dialog open "${data}/Obra; 2024/projeto.dbf"
press SD.ImpMenu 4
expect caption frmDBF "${data}/Obra; 2024/projeto.dbf"
type frmDBF.txtFields(13) "obra 2024"
click frmDBF.cmdEnd
expect query "${data}/Obra; 2024/projeto.dbf" "SELECT OBS FROM projeto WHERE CLTAT = '1'" "obra 2024"
expect query ${data}/Obra/projeto.dbf "SELECT OBS FROM projeto WHERE CLTAT = '1'" Null
