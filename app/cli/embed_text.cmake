# SPDX-License-Identifier: GPL-3.0-or-later
# Turns a text file into a C++ source defining one string constant: cmake -DINPUT= -DOUTPUT= -DNAME= -P
file(READ "${INPUT}" content)
file(WRITE "${OUTPUT}" "// Generated from ${INPUT}; edit that file instead.\nnamespace ampvane {\nextern const char* const ${NAME};\nconst char* const ${NAME} = R\"AVPTEXT(${content})AVPTEXT\";\n}\n")
