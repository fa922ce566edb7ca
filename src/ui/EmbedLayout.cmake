# Run by brk_embed_layout at build time (cmake -P): turns a window layout's
# source into C++ source. Each `png "file"` value (a path relative to the
# layout) becomes the stored form of that picture: the length-prefixed class
# name "TPngImage" followed by the PNG file's bytes, written as hex data.
# Inputs: LAYOUT, OUTPUT, SYMBOL.
file(READ "${LAYOUT}" text)
get_filename_component(dir "${LAYOUT}" DIRECTORY)
string(REGEX MATCHALL "png[ \t]+\"[^\"]*\"" refs "${text}")
if(refs)
  list(REMOVE_DUPLICATES refs)
endif()
foreach(ref IN LISTS refs)
  string(REGEX REPLACE "png[ \t]+\"([^\"]*)\"" "\\1" path "${ref}")
  if(NOT EXISTS "${dir}/${path}")
    message(FATAL_ERROR "${LAYOUT}: picture ${path} not found")
  endif()
  file(READ "${dir}/${path}" hex HEX)
  string(TOUPPER "${hex}" hex)
  # 09 "TPngImage"
  string(REPLACE "${ref}" "data \"0954506E67496D616765${hex}\"" text "${text}")
endforeach()
if(text MATCHES "\\)brk_layout\"")
  message(FATAL_ERROR "${LAYOUT}: the layout must not contain )brk_layout\"")
endif()
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${LAYOUT} by EmbedLayout.cmake: do not edit.\n"
  "#include <string_view>\n\n"
  "extern const std::string_view ${SYMBOL};\n"
  "const std::string_view ${SYMBOL} = R\"brk_layout(${text})brk_layout\";\n")
configure_file("${OUTPUT}.tmp" "${OUTPUT}" COPYONLY)
