# Writes a copy of a C++ source whose literals hold Shift-JIS (code page 932)
# bytes, from the readable UTF-8 original: every byte that is not ASCII becomes
# a \x escape, so the copy is plain ASCII and compiles the same with any
# compiler. A two-byte character is escaped as a pair, whatever its second byte
# (0x5C, the backslash, among them).
#   cmake -DIN=<utf-8 source> -DOUT=<generated source> -P shift_jis.cmake
execute_process(COMMAND iconv -f UTF-8 -t CP932 ${IN} OUTPUT_FILE ${OUT}.cp932 RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "iconv could not convert ${IN} to CP932")
endif()
file(READ ${OUT}.cp932 hex HEX)
file(REMOVE ${OUT}.cp932)
string(LENGTH "${hex}" n)
math(EXPR last "${n} / 2 - 1")
set(out "// Generated from ${IN} by shift_jis.cmake: do not edit.\n")
set(escaped FALSE)  # the last thing written was a \x escape
set(i 0)
while(i LESS_EQUAL last)
  math(EXPR at "${i} * 2")
  string(SUBSTRING "${hex}" ${at} 2 byte)
  math(EXPR value "0x${byte}")
  if(value LESS 128)
    string(ASCII ${value} c)
    # A hex digit right after an escape would lengthen it: close the literal and open the next.
    if(escaped AND c MATCHES "^[0-9A-Fa-f]$")
      string(APPEND out "\" \"")
    endif()
    string(APPEND out "${c}")
    set(escaped FALSE)
  else()
    string(APPEND out "\\x${byte}")
    set(escaped TRUE)
    # A lead byte takes its second byte with it, whatever it is.
    if((value GREATER_EQUAL 129 AND value LESS_EQUAL 159) OR (value GREATER_EQUAL 224 AND value LESS_EQUAL 252))
      math(EXPR i "${i} + 1")
      math(EXPR at "${i} * 2")
      string(SUBSTRING "${hex}" ${at} 2 byte)
      string(APPEND out "\\x${byte}")
    endif()
  endif()
  math(EXPR i "${i} + 1")
endwhile()
file(WRITE ${OUT} "${out}")
