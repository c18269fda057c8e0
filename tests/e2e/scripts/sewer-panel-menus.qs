# The sewer panel's picture menus pressed at their items, the theme grid's
# headers, and a right click in the drawing that nothing of the panel takes.

start
new
tab SSIniciar 1
click ESGOption1(1)

# The import menu: items over several cells, pressed at their middle.
tab SD.SSTabBrivan 1
dialog cancel
answer frmMsgBox CmdOK
press SD.ImpMenu 1
expect tooltip SD.ImpMenu.Picture1 "Abrir Tabela"
press SD.ImpMenu 2
expect tooltip SD.ImpMenu.Picture1 "Desenhar"
dialog cancel
answer frmMsgBox CmdOK
press SD.ImpMenu 4
expect tooltip SD.ImpMenu.Picture1 "Editar Tabela"

# The quantities menu: the table's point and the spreadsheet's file refused.
tab SD.SSTabBrivan 3
input enter
answer frmMsgBox CmdOK
press SD.InsMenu 1
expect message "Cancelado"
expect tooltip SD.InsMenu.Picture1 "Inserir Quantitativos no desenho"
dialog cancel
answer frmMsgBox CmdOK
press SD.InsMenu 2
expect message "Nenhum arquivo selecionado"
expect tooltip SD.InsMenu.Picture1 "Construir Planilha de Insumos"

# The theme grid: its headers in the fixed row, once the panel has painted.
tab SD.SSTabBrivan 5
yield
expect cell SD.TEMAFlg 0 1 "Tipo" back &HEFEFEF&
expect cell SD.TEMAFlg 0 2 "Qtt"

# An idle right click in the drawing: nothing drawn, the program goes on.
rightclick 10,10
expect entities 0
expect running
