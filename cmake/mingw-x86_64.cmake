# 64-bit Windows: the same sources, for machines that cannot run 32-bit code
# and to keep the code clean for both widths. Not shipped.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
