# Copies a text file for Windows readers: CR LF line ends, and a UTF-8 byte
# order mark, without which Notepad before Windows 10 1903 reads the Chinese
# in the ANSI code page.
#   cmake -DIN=<file> -DOUT=<file> -P windows-text.cmake
file(READ "${IN}" _text)
string(REPLACE "\r\n" "\n" _text "${_text}")
string(REPLACE "\n" "\r\n" _text "${_text}")
string(ASCII 239 187 191 _bom)
file(WRITE "${OUT}" "${_bom}${_text}")
