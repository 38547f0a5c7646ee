# korv_embed_file(<target> <symbol> <file>)
# Compiles <file> into <target> as `extern "C++" const unsigned char <symbol>[]` followed by a
# NUL byte (so a text resource is also a C string) and `const std::size_t <symbol>_size` (the
# file's size, without that NUL). Regenerated whenever the file changes.
set(KORV_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/KorvEmbedScript.cmake)

function(korv_embed_file target symbol file)
  get_filename_component(abs ${file} ABSOLUTE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/embedded/${symbol}.cpp)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DIN=${abs} -DOUT=${out} -DSYMBOL=${symbol} -P ${KORV_EMBED_SCRIPT}
    DEPENDS ${abs} ${KORV_EMBED_SCRIPT}
    COMMENT "Embedding ${file}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()
