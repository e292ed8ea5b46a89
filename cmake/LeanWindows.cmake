# Keeps the shipped Windows programs small; tests/release/size_test.sh
# checks them against tests/release/size_budgets.tsv.
#
# Every function and object gets a section of its own and the linker drops
# the sections nothing reaches: most of the statically linked C++ runtime.
# No program looks at types at run time (no dynamic_cast, no typeid), so no
# type information is emitted beyond what exceptions need. The toolchains use
# the compilers of the win32 thread model, which need no winpthread: no
# shipped program uses std::thread or std::mutex (the GoogleTest programs,
# which do, take cmake/posix-thread-model.sh).
add_compile_options(-ffunction-sections -fdata-sections -fno-rtti
                    $<$<CONFIG:MinSizeRel>:-Oz>)
add_link_options(-Wl,--gc-sections)

# ejectra_lean_program(TARGET): links the runtime glue of
# platform/win32/lean_runtime.cpp into a shipped program or library. Only
# the shipped binaries take it, and runtime_probe.exe, which tests it; the
# other test programs keep the stock runtime.
function(ejectra_lean_program target)
  target_link_libraries(${target} PRIVATE ejectra_lean_runtime)
  target_link_options(${target} PRIVATE -Wl,--disable-auto-import
                                        -Wl,--disable-runtime-pseudo-reloc)
endfunction()
