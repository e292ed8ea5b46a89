# Byte-identical Windows binaries from any checkout folder at any time.
#
# - The linker leaves the PE header's time stamp at zero.
# - Paths of the source and build folders (in __FILE__, assertions and debug
#   information) are written relative, so the checkout folder leaves no trace.
# - Archives are written without member dates, owners or modes.
#
# The generated inputs: the tools' icons and the wizard's bitmaps are drawn
# by the project's own scripts, which write no dates; windres writes none
# either. widl stores the time it wrote a type library: every .tlb goes
# through EJECTRA_TLB_FIXED_TIME (a command; append the file) before it is
# linked in.
add_link_options(LINKER:--no-insert-timestamp)
add_compile_options(
  -ffile-prefix-map=${PROJECT_SOURCE_DIR}=.
  -ffile-prefix-map=${PROJECT_BINARY_DIR}=.)
set(CMAKE_CXX_ARCHIVE_CREATE "<CMAKE_AR> qcD <TARGET> <LINK_FLAGS> <OBJECTS>")
set(CMAKE_CXX_ARCHIVE_APPEND "<CMAKE_AR> qD <TARGET> <LINK_FLAGS> <OBJECTS>")
set(CMAKE_CXX_ARCHIVE_FINISH "<CMAKE_RANLIB> -D <TARGET>")
set(EJECTRA_TLB_FIXED_TIME python3 ${CMAKE_CURRENT_LIST_DIR}/tlb_fixed_time.py)
