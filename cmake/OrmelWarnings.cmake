# Warnings every target of ours gets through this INTERFACE target.
add_library(ormel_warnings INTERFACE)
target_compile_options(ormel_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                       -Wold-style-cast -Wcast-align -Woverloaded-virtual -Wnull-dereference)
if(ORMEL_WERROR)
  target_compile_options(ormel_warnings INTERFACE -Werror)
endif()
# The arithmetic is exact IEEE extended precision; nothing may relax it.
target_compile_options(ormel_warnings INTERFACE -fno-fast-math -ffp-contract=off)
