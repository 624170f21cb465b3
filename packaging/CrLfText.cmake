# cmake -DInput=FILE -DOutput=FILE -P CrLfText.cmake: copies a text with every
# line ended by CR LF, whichever ends it had.
file(READ ${Input} Text)
string(REPLACE "\r\n" "\n" Text "${Text}")
string(REPLACE "\n" "\r\n" Text "${Text}")
file(WRITE ${Output} "${Text}")
