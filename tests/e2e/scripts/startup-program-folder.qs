# Start-up without "IniFile.txt", the catalogue beside the program: no
# question is asked and the file is written, naming the program folder.

expect nofile ${program}/IniFile.txt
start
expect running
expect content ${program}/IniFile.txt "${program}\r\n"
click cmdEnd
expect ended

# A file that names a folder without the catalogue is replaced the same way.
write ${program}/IniFile.txt "${data}\r\n"
start
expect running
expect content ${program}/IniFile.txt "${program}\r\n"
