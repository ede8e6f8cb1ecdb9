#!/usr/bin/env bash
# update-cli.exe writes a product through a COM port under Wine. The port is
# a link in the Wine prefix (dosdevices/comN) to the pseudo-terminal of the
# native product-on-pty. Wine sets 9600 bit/s on a pseudo-terminal exactly;
# a rate that termios has no constant for (100000) goes through a custom
# divisor that a pseudo-terminal ignores, so at 100000 only the data path is
# checked.
#
# Usage: update_cli_exe_port_test.sh WINE PREFIX UPDATE_CLI_EXE NATIVE_TOOLS COM_NUMBER RATE
# NATIVE_TOOLS is the native build's tools folder (product-on-pty and
# make-update-file); without it the test is skipped (exit code 77).
set -euo pipefail
wine=$1 prefix=$2 update_cli=$3 native_tools=$4 com=$5 rate=$6

if [[ ! -x "$native_tools/product-on-pty" || ! -x "$native_tools/make-update-file" ]]; then
    echo "skipped: $native_tools holds no product-on-pty and make-update-file (the linux preset builds them)"
    exit 77
fi

folder=$(mktemp -d)
product=
cleanup() {
    [[ -n "$product" ]] && kill "$product" 2> /dev/null && wait "$product" 2> /dev/null
    rm -f "$prefix/dosdevices/com$com"
    rm -rf "$folder"
}
trap cleanup EXIT

"$native_tools/make-update-file" "$folder/update.bin" KX200-01 --size 3000 --seed 7 > /dev/null
: > "$folder/scenario.txt"
"$native_tools/product-on-pty" "$folder/image.bin" "$folder/scenario.txt" > "$folder/product.txt" &
product=$!
for _ in $(seq 100); do
    grep -q '^port ' "$folder/product.txt" && break
    sleep 0.05
done
port=$(sed -n 's/^port //p' "$folder/product.txt")
[[ -n "$port" ]] || { echo "product-on-pty gave no port"; exit 1; }
ln -sfn "$port" "$prefix/dosdevices/com$com"

status=0
WINEPREFIX=$prefix WINEDEBUG=-all "$wine" "$update_cli" write "Z:$folder/update.bin" --port "COM$com" --yes \
    --rate "$rate" > "$folder/out.txt" 2> "$folder/error.txt" || status=$?
tr -d '\r' < "$folder/out.txt" > "$folder/out-lines.txt"
echo "exit code $status; standard output:"
cat "$folder/out-lines.txt"

failed=0
[[ $status -eq 0 ]] || { echo "expected exit code 0"; cat "$folder/error.txt"; failed=1; }
[[ "$(cat "$folder/out-lines.txt")" == "COM$com: This update succeeded." ]] || { echo "unexpected closing line"; failed=1; }
# The image: the payload behind the 8-byte header, filled with 0xFF to 3072 bytes.
{ tail -c +9 "$folder/update.bin"; head -c 72 /dev/zero | tr '\0' '\377'; } > "$folder/expected.bin"
cmp "$folder/expected.bin" "$folder/image.bin" || { echo "the product holds another image"; failed=1; }
if [[ $rate -eq 9600 ]]; then
    grep -qx 'settings 9600 8N1 raw no-flow-control' "$folder/product.txt" \
        || { echo "the port's settings were not 9600 8N1 raw:"; cat "$folder/product.txt"; failed=1; }
fi
exit $failed
