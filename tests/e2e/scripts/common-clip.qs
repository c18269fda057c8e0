# The common tools panel prepares a drawing for cadastre work: the town's
# base map clipped to a sector outline ("Clip Setor") and the building blocks
# of an older catalogue rebuilt ("Atualiza Blocos Cadastro").

fixture sector 20 ${tmp}/setor.dwg
start
open ${tmp}/setor.dwg
tab SSIniciar 3
tab CM.SSTab1 0

# A plain block picked as the reference: the host's reason is told.
input pick 50,0 prompt "Selecione contorno:"
input pick 302,0 prompt "Selecione XREF:"
answer frmMsgBox CmdOK
click CM.SETClipCmd
expect message contains "nenhuma referência externa"

# Cancelled picks: nothing is sent, nothing is told.
input escape
input escape
click CM.SETClipCmd
input pick 50,0
input escape
input escape
click CM.SETClipCmd
save ${tmp}/intacto.dwg

# The base map clipped by the outline's three distinct vertices.
input pick 50,0 prompt "Selecione contorno:"
input pick 25,50 prompt "Selecione XREF:"
click CM.SETClipCmd
save ${tmp}/recortado.dwg
# Only a clipped reference carries the filter dictionary.
expect line ${tmp}/recortado.dwg "ACAD_FILTER"

# The building blocks rebuilt from the catalogue; CAD_SBX kept as it was.
tab CM.SSTab1 3
click CM.UpgradeCmd
expect attribute NUMERO at 200,100 "42"
save ${tmp}/atualizado.dwg
expect line ${tmp}/atualizado.dwg "ECONOMIAS"
expect line ${tmp}/atualizado.dwg "ANTIGO"
