# Writes a help project file in the code page its language declares
# (Language=0x804: code page 936), which the help viewers read it in:
#   cmake -DICONV=<iconv> -DIN=<UTF-8 source> -DOUT=<file> -P HelpCodePage.cmake
# A page's charset declaration follows the bytes.
file(READ "${IN}" text)
string(REPLACE "charset=utf-8" "charset=gb2312" text "${text}")
file(WRITE "${OUT}.utf8" "${text}")
execute_process(COMMAND "${ICONV}" -f UTF-8 -t CP936 "${OUT}.utf8"
                OUTPUT_FILE "${OUT}" RESULT_VARIABLE failed)
file(REMOVE "${OUT}.utf8")
if(failed)
  message(FATAL_ERROR "${IN} holds text that code page 936 cannot write")
endif()
