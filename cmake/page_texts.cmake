# Writes texts.js, the window's texts for the web page's script, from the one list of the
# window's texts (window/common/texts.h): kName = "..." becomes name: "...". (No text may
# hold a semicolon or a square bracket, which CMake's lists would cut.)
#   cmake -DTEXTS=texts.h -DOUTPUT=texts.js -P page_texts.cmake
file(READ ${TEXTS} source)
string(REGEX MATCHALL "inline constexpr std::string_view k[A-Za-z0-9]+ *=[^;]+" entries
       "${source}")
set(script "// Written by the build from window/common/texts.h: the window's texts.\n")
string(APPEND script "\"use strict\";\n// eslint-disable-next-line no-unused-vars\n")
string(APPEND script "const TEXTS = Object.freeze({\n")
foreach(entry IN LISTS entries)
    string(REGEX REPLACE "^inline constexpr std::string_view k([A-Za-z0-9]+) *=.*$" "\\1" name
           "${entry}")
    string(SUBSTRING "${name}" 0 1 first)
    string(TOLOWER "${first}" first)
    string(SUBSTRING "${name}" 1 -1 rest)
    # The string literals, joined as C++ joins them.
    string(REGEX MATCHALL "\"([^\"\\\\]|\\\\.)*\"" literals "${entry}")
    set(value "")
    foreach(literal IN LISTS literals)
        string(REGEX REPLACE "^\"(.*)\"$" "\\1" inner "${literal}")
        string(APPEND value "${inner}")
    endforeach()
    string(APPEND script "    ${first}${rest}: \"${value}\",\n")
endforeach()
string(APPEND script "});\n")
file(WRITE ${OUTPUT}.new "${script}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
