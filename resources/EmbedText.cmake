# Writes the pixel-art file IN as one entry of the image table to OUT, its text a raw string literal:
# cmake -DKIND=Bitmap|Icon -DID=<resource id> -DNAME=<file name> -DIN=... -DOUT=... -P EmbedText.cmake
file(READ "${IN}" text)
string(FIND "${text}" ")art\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${IN} contains the literal's closing delimiter")
endif()
file(WRITE "${OUT}" "{ImageKind::${KIND}, ${ID}, \"${NAME}\", R\"art(${text})art\"},\n")
