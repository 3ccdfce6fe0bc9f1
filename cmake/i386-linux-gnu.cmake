# Toolchain for the 32-bit module ZR4400.so: the host's gcc with -m32 against Debian's i386
# multiarch packages (gcc-multilib, g++-multilib). SSE2 arithmetic gives the same double results
# as the 64-bit build and lets the process callbacks set flush-to-zero.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(ZR_I386_FLAGS "-m32 -msse2 -mfpmath=sse")
set(CMAKE_C_FLAGS_INIT "${ZR_I386_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${ZR_I386_FLAGS}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig")
# Where the kernel cannot run i386 programs, the tests run them through Debian's qemu-user.
set(ZR_EMULATOR_NAMES qemu-i386)
