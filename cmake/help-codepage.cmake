# Writes the help project and its contents as the help compiler and the viewer read them:
# in the code page of the language they declare (Russian: 1251). The pages keep their own
# UTF-8, which each of them declares.
#   cmake -DSOURCE=<dir> -DTARGET=<dir> -DICONV=<iconv> -P help-codepage.cmake
foreach(name merilon.hhp merilon.hhc)
    file(READ "${SOURCE}/${name}" text)
    string(REPLACE "charset=\"utf-8\"" "charset=\"windows-1251\"" text "${text}")
    # Windows reads these files line by line with CR LF.
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE "${TARGET}/${name}.utf8" "${text}")
    execute_process(COMMAND "${ICONV}" -f UTF-8 -t CP1251 "${TARGET}/${name}.utf8"
        OUTPUT_FILE "${TARGET}/${name}" RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "${name} holds a character that code page 1251 lacks")
    endif()
    file(REMOVE "${TARGET}/${name}.utf8")
endforeach()
