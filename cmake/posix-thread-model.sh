#!/bin/sh
# Compiler and linker launcher: runs the MinGW-w64 driver of the posix thread
# model in place of the win32 one the toolchain names. The shipped programs
# are built by the win32 model (cmake/LeanWindows.cmake); GoogleTest needs
# std::mutex, which only the posix model's C++ library has on this compiler,
# so the Windows test programs built on it take this launcher.
driver=${1%-win32}
shift
exec "${driver%-posix}-posix" "$@"
