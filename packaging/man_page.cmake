# Turns `kvn_bank --help` into its manual page, so the two never disagree.
# -D KVN_BANK=path -D OUT=file -D VERSION=x.y.z
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${KVN_BANK} --help
    OUTPUT_VARIABLE help RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "kvn_bank --help failed: ${rc}")
endif()
string(REGEX REPLACE "\r" "" help "${help}")
string(REGEX MATCH "\n([^\n]*)\n" _ "${help}")
set(summary "${CMAKE_MATCH_1}")
# Everything after the usage line, the summary and the blank line under them.
string(FIND "${help}" "\n\n" blank)
math(EXPR blank "${blank} + 2")
string(SUBSTRING "${help}" ${blank} -1 rest)
# roff: a leading dot or quote would start a request, a backslash an escape.
string(REPLACE "\\" "\\e" rest "${rest}")
string(REGEX REPLACE "\n([.'])" "\n\\\\&\\1" rest "\n${rest}")
string(REGEX REPLACE "\\.$" "" summary "${summary}")
string(SUBSTRING "${summary}" 0 1 first)
string(SUBSTRING "${summary}" 1 -1 tail)
string(TOLOWER "${first}" first)
set(summary_lower "${first}${tail}")
file(WRITE ${OUT} ".TH KVN_BANK 1 \"\" \"Praxilo ${VERSION}\" \"User Commands\"
.SH NAME
kvn_bank \\- ${summary_lower}
.SH SYNOPSIS
.B kvn_bank
[\\fIoptions\\fR] \\fIcommand\\fR
.SH DESCRIPTION
${summary}.
.PP
.nf${rest}
.fi
")
