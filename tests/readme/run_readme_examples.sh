#!/usr/bin/env bash
# Runs every vexobit-render command shown in the README's shell examples, in a
# scratch folder with the example files they name, and fails on the first one
# that does not succeed. Usage: run_readme_examples.sh README.md TOOL_DIR
set -euo pipefail
readme=$1
export PATH="$2:$PATH"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# The example inputs: a short drum-like hit and a voice-like tone.
vexobit-render --quiet --out-dir . >/dev/null
cp vexobit-demo-dry.wav drums.wav
vexobit-render --quiet vexobit-demo-dry.wav -o voice.flac
rm vexobit-demo-*.wav

mapfile -t commands < <(awk '
    /^```sh/ { inside = 1; next }
    /^```/ { inside = 0; next }
    inside { sub(/[[:space:]]+#.*$/, ""); if ($0 ~ /(^|&& )vexobit-render/) print }
' "$readme")
[ ${#commands[@]} -gt 0 ] || { echo "no vexobit-render examples found in $readme" >&2; exit 1; }

for command in "${commands[@]}"; do
    echo "\$ $command"
    if ! bash -c "$command" >output.log 2>&1; then
        cat output.log
        echo "README example failed: $command" >&2
        exit 1
    fi
done
echo "${#commands[@]} README examples ran"
