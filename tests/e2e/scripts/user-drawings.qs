# Drawings a user brings: a zones drawing and a water network in the old
# block format, opened in the drawing host while the program runs; a new
# drawing saved by its name alone; a name whose "\" belongs to a folder on
# disk; and a file handed to the program that opens its type.

fixture zones 40 ${data}/zonas.dwg
fixture oldwater 500 ${data}/antigo.dwg
start

open ${data}/zonas.dwg
expect entities 40 0=HATCH 8=ZONAS
expect entities 40 in Model 0=INSERT 2=Zon_PorM
expect entities 0 in paper
expect attribute NOME at 50,50 "Z1"
expect attribute VPM at 3950,50 "400"

open ${data}/antigo.dwg
expect entities 500 0=LINE 8=T_50
expect entities 500 0=INSERT 2=R-TUBO 8=TRECHO
expect entities 1000 -4=<AND 2=R-* -4=<NOT 2=R-TUBO -4=NOT> -4=AND>
expect attribute TUBO at 40,0 in Model "PVCDN50-X"
expect attribute ETAPA at 49940,0 "0"
expect attribute CÓDIGO at 80,0 contains "DN50"
expect attribute MAT at 49980,0 "PVC"

# A new drawing never saved lies in the user's documents: a name alone is
# saved there, not where the program was started.
mkdir ${home}/Documentos
new
save nova.dwg
expect file ${home}/Documentos/nova.dwg

# A drawing named in "da\dos", a folder whose name holds "\": read with its
# "\" as a separator the name would reach "da/dos/rede.dwg", another drawing,
# so it stands for no file: the user is told, and nothing is worked on.
mkdir "${data}/da\\dos"
fixture survey 3 ${data}/da/dos/rede.dwg
answer frmMsgBox
  expect text Mensagem "Arquivo: ${data}/da\\dos/rede.dwg não existe"
  click CmdOK
end
call ConectaAcad "${data}/da\\dos/rede.dwg"
expect result ConectaAcad false
expect entities 0

# The user's own program for text files opens the notes.
write ${home}/.local/share/applications/leitor.desktop "[Desktop Entry]\nType=Application\nName=Leitor\nExec=leitor %f\nMimeType=text/plain;\n"
write ${home}/.config/mimeapps.list "[Default Applications]\ntext/plain=leitor.desktop\n"
write ${data}/notas.txt "PV-1 a PV-2\r\n"
call OpenWithShell ${data}/notas.txt
expect opened ${data}/notas.txt
