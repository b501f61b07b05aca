# Writes the text file IN as one C++ raw string literal to OUT: cmake -DIN=... -DOUT=... -P EmbedText.cmake
file(READ "${IN}" text)
string(FIND "${text}" ")art\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${IN} contains the literal's closing delimiter")
endif()
file(WRITE "${OUT}" "R\"art(${text})art\"\n")
