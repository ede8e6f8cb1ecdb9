# Shared by the scripts in tools/: packages, building a preset, and a Wine
# prefix of the build's own. Sourced from the repository's root.

# Never wine32: this machine's kernel cannot run 32-bit code, and with it
# installed the wine command fails for 64-bit programs too.
BUILD_PACKAGES=(
    cmake ninja-build g++ libgtest-dev googletest
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
    wine wine64 xvfb xauth
)

install_missing_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
    done
    ((${#missing[@]} == 0)) && return
    echo "Installing: ${missing[*]}"
    local sudo=()
    ((EUID == 0)) || sudo=(sudo)
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${missing[@]}"
}

# Configures once; later runs only build what changed.
build_preset() {
    local preset=$1
    [[ -f "build/$preset/CMakeCache.txt" ]] || cmake --preset "$preset"
    cmake --build --preset "$preset"
}

# Boots the build's Wine prefix once and keeps one wineserver running for
# the session, so that each program starts in well under a second. Wine's
# background processes keep inherited output open: they write to a log file,
# and are stopped when the calling script exits.
start_wine() {
    local build="$PWD/build/$1"
    export WINEPREFIX="$build/wine-prefix" WINEDEBUG=-all
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
        echo "Booting the Wine prefix in $WINEPREFIX"
        wineboot --init > "$build/wineboot.log" 2>&1
    fi
    wineserver --persistent > "$build/wineserver.log" 2>&1 < /dev/null &
    trap 'wineserver --kill > /dev/null 2>&1 || true' EXIT
    # Two programs that start side by side on a fresh wineserver can hang in
    # Wine's own start-up: one program first brings its services up.
    wine cmd /c exit > "$build/wine-start.log" 2>&1 < /dev/null
}
