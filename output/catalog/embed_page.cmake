# SPDX-License-Identifier: MIT
# Builds the catalogue page from page.html, page.css and page.js and writes it
# as C++ source: the page up to the data element's content and the page after
# it, as raw string literals. The style sheet and the script go inline, each
# allowed by its SHA-256 hash in the page's Content-Security-Policy, so that
# nothing else can run or load in the page.
#
#   cmake -DSOURCE_DIR=DIR -DOUTPUT=FILE -DVERSION=X.Y.Z -P embed_page.cmake
cmake_minimum_required(VERSION 3.25)

# `hex` (lowercase hexadecimal bytes) in base64, as a hash source of CSP wants it.
function(hex_to_base64 hex out)
    set(alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
    string(LENGTH "${hex}" length)
    set(text "")
    set(at 0)
    while(at LESS length)
        math(EXPR left "${length} - ${at}")
        if(left GREATER 6)
            set(left 6)
        endif()
        string(SUBSTRING "${hex}" ${at} ${left} group)
        math(EXPR value "0x${group} << (4 * (6 - ${left}))")
        math(EXPR chars "${left} / 2 + 1")  # 3 bytes give 4 characters, 2 give 3, 1 gives 2
        foreach(shift 18 12 6 0)
            if(chars GREATER 0)
                math(EXPR index "(${value} >> ${shift}) & 63")
                string(SUBSTRING "${alphabet}" ${index} 1 char)
                string(APPEND text "${char}")
                math(EXPR chars "${chars} - 1")
            else()
                string(APPEND text "=")
            endif()
        endforeach()
        math(EXPR at "${at} + 6")
    endwhile()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(csp_hash text out)
    string(SHA256 hex "${text}")
    hex_to_base64("${hex}" base64)
    set(${out} "'sha256-${base64}'" PARENT_SCOPE)
endfunction()

file(READ "${SOURCE_DIR}/page.html" page)
file(READ "${SOURCE_DIR}/page.css" style)
file(READ "${SOURCE_DIR}/page.js" script)
# Each source names its licence on its first line; the page leaves it out.
foreach(part page style script)
    string(REGEX REPLACE "^[^\n]*SPDX-License-Identifier[^\n]*\n" "" ${part} "${${part}}")
endforeach()
csp_hash("${style}" style_hash)
csp_hash("${script}" script_hash)
foreach(pair "@STYLE_HASH@;${style_hash}" "@SCRIPT_HASH@;${script_hash}"
             "@VERSION@;${VERSION}")
    list(GET pair 0 key)
    list(GET pair 1 value)
    string(REPLACE "${key}" "${value}" page "${page}")
endforeach()
# The style sheet and the script last, so that nothing in them is taken for a key.
string(REPLACE "@STYLE@" "${style}" page "${page}")
string(REPLACE "@SCRIPT@" "${script}" page "${page}")

set(marker "@DATA@")
string(FIND "${page}" "${marker}" at)
string(FIND "${page}" "${marker}" last REVERSE)
if(at EQUAL -1 OR NOT at EQUAL last)
    message(FATAL_ERROR "page.html must hold ${marker} exactly once")
endif()
string(SUBSTRING "${page}" 0 ${at} head)
string(LENGTH "${marker}" marker_length)
math(EXPR after "${at} + ${marker_length}")
string(SUBSTRING "${page}" ${after} -1 tail)
set(delimiter "dozepage")
string(FIND "${page}" ")${delimiter}\"" clash)
if(NOT clash EQUAL -1)
    message(FATAL_ERROR "the page holds the end of a raw string: )${delimiter}\"")
endif()

set(source "// Made from output/catalog/page.* by embed_page.cmake; edit those instead.\n")
string(APPEND source "#include \"output/catalog_page.h\"\n\n")
string(APPEND source "namespace doze {\n\n")
string(APPEND source "const std::string_view kCatalogHead = R\"${delimiter}(${head})${delimiter}\";\n\n")
string(APPEND source "const std::string_view kCatalogTail = R\"${delimiter}(${tail})${delimiter}\";\n\n")
string(APPEND source "}  // namespace doze\n")
file(WRITE "${OUTPUT}" "${source}")
