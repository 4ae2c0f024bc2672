# What both Windows editions share; BIXIQIN_MINGW_TRIPLE names the target.
set(CMAKE_C_COMPILER ${BIXIQIN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BIXIQIN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BIXIQIN_MINGW_TRIPLE}-windres)

# Libraries and headers come from the cross sysroot only, programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${BIXIQIN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libstdc++, libgcc and winpthread linked in: each .exe stands alone and
# imports only the system's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
