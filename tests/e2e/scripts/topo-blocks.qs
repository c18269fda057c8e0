# Block replacement on the topography panel's "Blocos" tab: the single-family
# buildings of a registry drawing (kept beside this script) become
# multifamily ones, their attributes mapped and both factors given; then a
# block from a drawing file the user brings takes their place.

start
open ${scripts}/topo-blocks.dxf
tab SSIniciar 4
tab TD.SSTopo 2
click TD.TRBlkExecutaCmd
expect text TD.TRBlkExecutaCmd "Executa"
expect count TD.TRBlkCbo1 2
expect count TD.TRBlkCbo2 3
expect text TD.TRBlkTxt(0) "1"
# The block shown in "Trocar este:" shows its rows.
expect text TD.TRBlkLbl(6) "S-Q-L"

# One row per attribute of the block to replace; the replacement's tags in
# each row's list.
choose TD.TRBlkCbo1 "CAD_RUF"
expect text TD.TRBlkLbl(0) "NUMERO"
expect text TD.TRBlkLbl(4) "ECONOMIAS"
expect text TD.TRBlkLbl(6) "S-Q-L"
choose TD.TRBlkCbo2 "CAD_RMF"
expect count TD.TRBlkCbo3(6) 7
choose TD.TRBlkCbo3(0) "NUMERO"
choose TD.TRBlkCbo3(1) "NOME"
# The rows below the fourth come into sight with the scroll bar.
set TD.TRBlkScr 3
expect top TD.TRBlkFrm -945
choose TD.TRBlkCbo3(4) "ECONOMIAS"
expect tooltip TD.TRBlkCbo3(4) "ECONOMIAS"

# A block factor of 0 is refused before anything is selected or deleted.
set TD.TRBlkTxt(0) "0"
answer frmMsgBox
  expect text Titulo "Atenção"
  expect text Mensagem "Escala Bloco: informe um número maior que zero."
  click CmdOK
end
click TD.TRBlkExecutaCmd
expect entities 3 0=INSERT 2=CAD_RUF

set TD.TRBlkTxt(0) ""
type TD.TRBlkTxt(0) "2"
set TD.TRBlkTxt(1) ""
type TD.TRBlkTxt(1) "0,5"
expect text TD.TRBlkTxt(1) "0.5"
zoom extents
input crossing 90,90 170,110
input enter prompt "Selecione objetos: "
click TD.TRBlkExecutaCmd
expect text TD.TRBlkExecutaCmd "Inicia"
expect entities 0 0=INSERT 2=CAD_RUF
expect entities 3 0=INSERT 2=CAD_RMF 8=CADASTRO
expect attribute NUMERO at 100,100 "101"
expect attribute NOME at 100,100 "Casa A"
expect attribute ECONOMIAS at 160,100 "3"
expect attribute NUMERO at 130,100 "102"
expect attribute NOME at 130,100 ""
# Rows mapped to nothing carry nothing.
expect attribute APTOS at 100,100 ""

# A block from a drawing file: defined by its name, no insertion left at the
# origin, its tags in the rows' lists.
copy ${scripts}/topo-blocks-lote.dxf ${data}/LOTE_ESPECIAL.dwg
# A cancelled file dialog puts back the choice before it. The replacement
# chosen first, every row of the block to replace gets its list.
click TD.TRBlkExecutaCmd
dialog cancel
answer frmMsgBox CmdOK
choose TD.TRBlkCbo2 ".Arquivo..."
expect message "Nenhum arquivo selecionado"
expect text TD.TRBlkCbo2 "CAD_RUF"
dialog open ${data}/LOTE_ESPECIAL.dwg
choose TD.TRBlkCbo2 ".Arquivo..."
expect tooltip TD.TRBlkCbo2 "LOTE_ESPECIAL"
expect entities 0 0=INSERT 2=LOTE_ESPECIAL
choose TD.TRBlkCbo1 "CAD_RMF"
expect top TD.TRBlkFrm 0
expect visible TD.TRBlkCbo3(6) true
choose TD.TRBlkCbo3(0) "CODIGO"
choose TD.TRBlkCbo3(1) "QUADRA"
input crossing 90,90 170,110
input enter
click TD.TRBlkExecutaCmd
expect entities 0 0=INSERT 2=CAD_RMF
expect entities 3 0=INSERT 2=LOTE_ESPECIAL 8=CADASTRO
expect attribute CODIGO at 160,100 "103"
expect attribute QUADRA at 160,100 "Casa C"
expect attribute CODIGO at 130,100 "102"
expect attribute QUADRA at 130,100 "Q-?"

click cmdEnd
expect ended
