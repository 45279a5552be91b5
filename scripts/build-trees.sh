# Sourced by the build scripts: the two trees' configure options, in one place.
#   build/host     native: core, tools, host tests, with sanitizers
#   build/windows  cross-compiled with mingw-w64: the program and the Win32-layer tests
# ccache, where installed, makes rebuilds of unchanged sources cheap.
zc_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
host_options=(-G Ninja -DCMAKE_BUILD_TYPE=Debug -DZC_SANITIZE=ON "${launcher[@]}")
# The test trees trust the development definitions key: they are test builds.
windows_options=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DZC_TEST_BUILD=ON -DCMAKE_TOOLCHAIN_FILE="$zc_root/cmake/toolchain-mingw64.cmake"
                 -DZC_HOST_TOOLS_DIR="$zc_root/build/host/tools" "${launcher[@]}")
