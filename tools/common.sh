# Shared by the scripts in tools/: packages, building a preset, and a Wine
# prefix of the build's own. Sourced from the repository's root.

# Never wine32: this machine's kernel cannot run 32-bit code, and with it
# installed the wine command fails for 64-bit programs too.
BUILD_PACKAGES=(
    cmake ninja-build g++ libgtest-dev googletest python3 libcli11-dev nlohmann-json3-dev
    pkg-config libudev-dev umockdev libumockdev-dev
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
    wine wine64 xvfb
    clang-14 libclang-rt-14-dev
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

# Cleanups for when the calling script exits, run in reverse order.
# Each clean-up is a command line, run by eval: a path in it is quoted with
# printf %q, so that a checkout whose path holds blanks is cleaned up too.
CLEANUPS=()
run_cleanups() {
    local i
    for ((i = ${#CLEANUPS[@]} - 1; i >= 0; i--)); do
        eval "${CLEANUPS[i]}" > /dev/null 2>&1 || true
    done
}
trap run_cleanups EXIT

# An X display of our own for Wine's windows, stopped by its pid on exit.
start_display() {
    local number_file
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$number_file" > /dev/null 2>&1 < /dev/null &
    CLEANUPS+=("kill $! ; rm -f $(printf %q "$number_file")")
    local tries=0
    while [[ ! -s "$number_file" ]] && ((tries++ < 100)); do
        sleep 0.1
    done
    [[ -s "$number_file" ]] || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$(head -n1 "$number_file")"
}

# Every Windows program, Wine's own included, starts through tools/wine, as
# the tests do.
WINE=$PWD/tools/wine

# Boots the build's Wine prefix once and keeps one wineserver running for
# the session, so that each program starts in well under a second. Wine's
# background processes keep inherited output open: they write to a log file,
# and are stopped when the calling script exits. Call start_display first:
# Wine's desktop process keeps the display it was started with.
start_wine() {
    local build="$PWD/build/$1"
    export WINEPREFIX="$build/wine-prefix" WINEDEBUG=-all
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
        echo "Booting the Wine prefix in $WINEPREFIX"
        "$WINE" wineboot --init > "$build/wineboot.log" 2>&1
        # wineboot returns while the programs it started still set the
        # prefix up; killing them half-way would leave that work to the
        # first programs of the test run. Their server ends once they are
        # all done (bounded, should one of them never end).
        timeout 120 wineserver --wait || true
    fi
    wineserver --kill > /dev/null 2>&1 || true
    # In the foreground: the server detaches only once its socket is ready
    # (about 0.1 s). Started in the background, the wine command below could
    # come first and start a server of its own that ends whenever no program
    # runs, so that programs of the test run would meet a server on its way
    # out.
    wineserver --persistent > "$build/wineserver.log" 2>&1 < /dev/null ||
        { echo "wineserver did not start: $(cat "$build/wineserver.log")" >&2; return 1; }
    CLEANUPS+=("WINEPREFIX=$(printf %q "$WINEPREFIX") wineserver --kill")
    # Two programs that start side by side on a fresh wineserver can hang in
    # Wine's own start-up: one program first brings its services up. Without
    # a window manager, Wine would wait two seconds for one at every hidden
    # window: its windows go unmanaged.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f > "$build/wine-start.log" 2>&1 < /dev/null
    # Wine closes its desktop a second after the last program with a window
    # has ended; the next one starts the desktop's process anew, and that
    # process keeps the starter's output open until the desktop closes again
    # (CTest waits for it). The holder starts the desktop with output of its
    # own and keeps it open until the wineserver is stopped.
    "$WINE" "$build/driver/wine-desktop-holder.exe" > "$build/wine-desktop.log" 2>&1 < /dev/null &
    local holder=$! tries=0
    until grep -q '^desktop ready' "$build/wine-desktop.log"; do
        if ! kill -0 "$holder" 2> /dev/null || ((tries++ >= 300)); then
            echo "Wine's desktop did not start: $(cat "$build/wine-desktop.log")" >&2
            return 1
        fi
        sleep 0.1
    done
}
