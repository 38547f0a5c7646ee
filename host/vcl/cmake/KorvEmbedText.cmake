# korv_embed_text(<target> <VAR> <file>)
#
# Compiles <file> (a form description, a text resource) into <target> as
#   extern const char VAR[];        // the file's bytes, followed by a zero byte
#   extern const unsigned long VAR_size;   // the number of bytes without the zero
# The C++ source is generated at build time, so editing the file rebuilds it.
set(KORV_EMBED_TEXT_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedText.cmake CACHE INTERNAL "")

function(korv_embed_text target var file)
  get_filename_component(abs ${file} ABSOLUTE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/embedded/${var}.cpp)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${abs} -DOUTPUT=${out} -DVAR=${var} -P ${KORV_EMBED_TEXT_SCRIPT}
    DEPENDS ${abs} ${KORV_EMBED_TEXT_SCRIPT}
    COMMENT "Embedding ${file} as ${var}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()
