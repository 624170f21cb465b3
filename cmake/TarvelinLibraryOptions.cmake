# What a build asks of the tool's own libraries, and of nothing else: the
# tests, the harnesses and the programs' entries stay as they are. Each
# library's folder calls this for its own target.
function(TarvelinLibraryOptions target)
  if(TARVELIN_FUZZ)
    # Coverage of the code under test guides the fuzzer; instrumenting the
    # harness and its model too would only slow every run.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()
