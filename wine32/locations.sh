# Where the 32-bit Wine lives: a cache outside every build folder, so that a
# rebuild or `rm -rf build/...` keeps its downloads and its root.
WINE32_CACHE=${GLIMORA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/glimora}/wine32
WINE32_ROOT=$WINE32_CACHE/root
WINE32_QEMU=$WINE32_CACHE/qemu-i386
# The 32-bit loader as the emulated processes see it.
WINE32_LOADER=$WINE32_ROOT/usr/lib/wine/wine
